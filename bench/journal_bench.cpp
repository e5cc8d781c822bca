// What the receive journal adds to each accepted frame, on the receive's own
// thread, before the program answers 0x00: the frame appended and handed to
// the system, with the journal's syncing thread running beside it. Back to
// back, and at the pace of a receive over a pseudo-terminal (a frame every
// 170 us), where the syncs of the journal's thread fall among the frames.
// The whole receive with and without the journal is measured by
// journal_bench.py.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "comm/ReceiveJournal.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string JournalPath() {
  return (std::filesystem::temp_directory_path() /
          ("lumaq-journal-bench-" + std::to_string(::getpid()) + ".journal"))
      .string();
}

void BM_JournalFrameAccepted(benchmark::State& state) {
  const std::string path = JournalPath();
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

void BM_JournalFrameAcceptedAtReceivePace(benchmark::State& state) {
  const std::string path = JournalPath();
  std::filesystem::remove(path);
  const std::string body(32, 'x');
  const auto pace = std::chrono::microseconds(state.range(0));
  bool stopped = false;
  double longest = 0;
  {
    lumaq::ReceiveJournal journal(path, [&stopped](const std::string&) { stopped = true; });
    auto next = Clock::now();
    for (auto _ : state) {
      next += pace;
      while (Clock::now() < next) {
      }
      const auto start = Clock::now();
      journal.FrameAccepted(0xAA, body);
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      longest = std::max(longest, seconds);
      state.SetIterationTime(seconds);
    }
    journal.Remove();
  }
  if (stopped) state.SkipWithError("the journal stopped");
  state.counters["longest_us"] = longest * 1e6;
}
BENCHMARK(BM_JournalFrameAcceptedAtReceivePace)
    ->Arg(170)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(30000);

}  // namespace
