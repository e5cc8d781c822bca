// The time from a byte written on the far side of a pseudo-terminal to the
// port's OnRxChar running on the owner's thread: what the event thread, the
// queue and the dispatcher add to every answer the program gives the
// instrument.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <string_view>
#include <system_error>

#include "comm/ComPort.h"
#include "comm/Dispatcher.h"
#include "support/PseudoTerminal.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_RxCharLatency(benchmark::State& state) {
  std::optional<lumaq::test::PseudoTerminal> far;
  try {
    far.emplace();
  } catch (const std::system_error&) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  lumaq::LoopDispatcher loop;
  lumaq::TComPort port(loop);
  lumaq::ApplyComPort1Design(port);
  port.SetDevicePath(far->Path());
  Clock::time_point handled;
  bool seen = false;
  port.OnRxChar = [&](lumaq::TCustomComPort& sender, int count) {
    handled = Clock::now();
    char bytes[16];
    sender.Read(bytes, count < 16 ? count : 16);
    seen = true;
  };
  port.Open();
  const char byte = '\xAA';
  for (auto _ : state) {
    seen = false;
    const auto sent = Clock::now();
    try {
      far->Send(std::string_view(&byte, 1));
    } catch (const std::system_error&) {
      state.SkipWithError("write failed");
      break;
    }
    if (!loop.RunUntil([&] { return seen; }, std::chrono::seconds(2))) {
      state.SkipWithError("no OnRxChar within 2 s");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(handled - sent).count());
  }
}
BENCHMARK(BM_RxCharLatency)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace
