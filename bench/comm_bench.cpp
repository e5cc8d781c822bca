// The time from a byte written on the far side of a pseudo-terminal to the
// port's OnRxChar running on the owner's thread: what the event thread, the
// queue and the dispatcher add to every answer the program gives the
// instrument.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "comm/ComPort.h"
#include "comm/Dispatcher.h"

namespace {

using Clock = std::chrono::steady_clock;

// The far side of a pseudo-terminal; the port opens the near side by path.
struct FarSide {
  int master = -1;
  int near = -1;
  std::string path;
  FarSide() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
    char name[128];
    if (ptsname_r(master, name, sizeof name) != 0) return;
    path = name;
    near = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    tcgetattr(near, &tio);
    cfmakeraw(&tio);
    tcsetattr(near, TCSANOW, &tio);
  }
  ~FarSide() {
    if (near >= 0) close(near);
    if (master >= 0) close(master);
  }
};

void BM_RxCharLatency(benchmark::State& state) {
  FarSide far;
  if (far.near < 0) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  lumaq::LoopDispatcher loop;
  lumaq::TComPort port(loop);
  lumaq::ApplyComPort1Design(port);
  port.SetDevicePath(far.path);
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
    if (write(far.master, &byte, 1) != 1) {
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
