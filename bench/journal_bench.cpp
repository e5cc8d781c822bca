// What the receive journal adds to each accepted frame, on the receive's own
// thread, before the program answers 0x00: the frame appended and handed to
// the system, with the journal's syncing thread running beside it. The whole
// receive with and without the journal is measured by journal_bench.py.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "comm/ReceiveJournal.h"

namespace {

void BM_JournalFrameAccepted(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("lumaq-journal-bench-" + std::to_string(::getpid()) + ".journal"))
                               .string();
  std::filesystem::remove(path);
  const std::string body(32, 'x');
  bool stopped = false;
  {
    lumaq::ReceiveJournal journal(path, [&stopped](const std::string&) { stopped = true; });
    for (auto _ : state) journal.FrameAccepted(0xAA, body);
    journal.Remove();
  }
  if (stopped) state.SkipWithError("the journal stopped");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JournalFrameAccepted)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace
