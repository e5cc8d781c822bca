// The window's commands without a window: opening a text file of 1,000,000
// lines, as Open does with a .TXT (read, split, shown as the job's text).
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

#include "app/MainCommands.h"
#include "app/PrintSurface.h"
#include "app/UserDialogs.h"
#include "records/JobFiles.h"
#include "support/OpenOneFile.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

// Shows nothing: the time is the commands' own.
class NoView : public MainView {
 public:
  void SetCaption(const std::string&) override {}
  void ShowCoordinateView() override {}
  void ShowMeasurementView(bool) override {}
  void ShowPlan(bool) override {}
  void SetStatusText(StatusPanel, const std::string&) override {}
  void RefreshTable() override {}
  void ShowJobText(const JobText& text) override { shownLines = text.size(); }
  void FocusTable() override {}
  void SetTableReadOnly(bool) override {}
  void ProcessMessages() override {}
  std::size_t shownLines = 0;
};

void BM_OpenTxtMillionLines(benchmark::State& state) {
  constexpr std::size_t kLines = 1000000;
  const test::TempDir dir;
  JobText lines;
  lines.reserve(kLines);
  for (std::size_t i = 0; i < kLines; ++i) {
    lines.push_back("P" + std::to_string(i) + "  HA=123.4510  VA=89.5959  SD=123.456m");
  }
  const std::string path = dir.Path("FIELD.TXT");
  WriteTextFile(path, lines);
  lines = JobText();

  JobDocument job;
  RecordTable table;
  NoView view;
  test::OpenOneFile dialogs(path, 2);
  MainCommands commands(job, table, view, dialogs, dir.Folder());
  commands.StartUp({});
  for (auto _ : state) {
    commands.MenuJobOpenClick();
    benchmark::DoNotOptimize(job.JobText.data());
  }
  if (view.shownLines != kLines) state.SkipWithError("not every line was shown");
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kLines));
}
BENCHMARK(BM_OpenTxtMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace lumaq
