// The main window with 15999 records: opening the job and tidying it, through
// the real grid (offscreen), so the figures include the repaint points.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QEvent>

#include "SampleRawRecords.h"
#include "app/PrintSurface.h"
#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/OpenOneFile.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

std::string WriteJob(const test::TempDir& dir, int records) {
  JobText lines;
  for (int i = 1; i <= records; ++i) {
    lines.push_back(ComposeRecordLine("P" + std::to_string(i), "TREE", std::to_string(3456.789 + i),
                                      std::to_string(1234.5 + i), i % 10 ? "12.300" : ""));
  }
  const std::string path = dir.Path("JOB.BDT");
  WriteTextFile(path, lines);
  return path;
}

void BM_WindowOpen15999(benchmark::State& state) {
  const test::TempDir dir;
  test::OpenOneFile dialogs(WriteJob(dir, 15999), 1);
  ui::TForm1 form(&dialogs);
  form.FormCreate({}, false);
  form.show();
  for (auto _ : state) {
    form.MenuJobOpen->trigger();
    QApplication::processEvents();
  }
  if (form.Table().CountRecords() != 15999) state.SkipWithError("not all records shown");
}
BENCHMARK(BM_WindowOpen15999)->Unit(benchmark::kMillisecond);

void BM_WindowTidy15999(benchmark::State& state) {
  const test::TempDir dir;
  test::OpenOneFile dialogs(WriteJob(dir, 15999), 1);
  ui::TForm1 form(&dialogs);
  form.FormCreate({}, false);
  form.show();
  form.MenuJobOpen->trigger();
  for (auto _ : state) {
    form.MenuSortRec->trigger();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_WindowTidy15999)->Unit(benchmark::kMillisecond);

// Paints of a widget, counted as they happen.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Open of a day's measurement file, 100,000 raw records, until the text view
// has painted its first page: the wait the surveyor sees.
void BM_WindowOpenTsm100000(benchmark::State& state) {
  const test::TempDir dir;
  test::OpenOneFile dialogs(dir.Write("FIELD.TSM", bench::MakeRawRecords(100000, 50)), 2);
  ui::TForm1 form(&dialogs);
  form.FormCreate({}, false);
  form.show();
  const PaintCounter painted(form.RichEdit1->viewport());
  for (auto _ : state) {
    const int before = painted.paints;
    form.MenuJobOpen->trigger();
    while (painted.paints == before) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Whatever the view does after its first page is not part of the wait.
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  if (form.RichEdit1->model()->index(0, 0).data() != "INST: LQT-100,V2.10,No.S0012345") {
    state.SkipWithError("the first line is not shown");
  }
}
BENCHMARK(BM_WindowOpenTsm100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumaq

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
