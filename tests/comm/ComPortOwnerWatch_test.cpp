// A port whose owner watches the line itself: the handlers run inside
// WatchLine on the caller's thread, with what waits, and no dispatch is posted.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "comm/ComPort.h"
#include "support/PseudoTerminal.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;

struct WatchedLine {
  test::PseudoTerminal pty;
  LoopDispatcher loop;
  TComPort port{loop};
  std::vector<int> counts;
  std::vector<TComErrors> errors;

  WatchedLine() {
    ApplyComPort1Design(port);
    port.SetDevicePath(pty.Path());
    port.SetOwnerWatches(true);
    const auto owner = std::this_thread::get_id();
    port.OnRxChar = [this, owner](TCustomComPort&, int count) {
      EXPECT_EQ(std::this_thread::get_id(), owner);
      counts.push_back(count);
    };
    port.OnError = [this](TCustomComPort&, TComErrors e) { errors.push_back(e); };
    port.Open();
  }
  bool Watch() { return port.WatchLine(SerialClock::now() + 3s); }
  // Watches until an OnRxChar counts waiting bytes (a write may arrive in parts).
  bool WatchUntilCounted(int waiting) {
    for (int i = 0; i < 10 && (counts.empty() || counts.back() < waiting); ++i) Watch();
    return !counts.empty() && counts.back() == waiting;
  }
};

TEST(WatchLine, RunsTheHandlersOnTheCallersThreadAndLeavesUnreadBytesCounted) {
  WatchedLine line;
  EXPECT_FALSE(line.port.WatchLine(SerialClock::now() + 20ms)) << "a silent line reports nothing";
  line.pty.Send("\xAA\xBB");
  ASSERT_TRUE(line.WatchUntilCounted(2));
  line.pty.Send("C");
  EXPECT_TRUE(line.WatchUntilCounted(3)) << "the bytes left unread count again";
  EXPECT_EQ(line.loop.PendingCount(), 0u) << "nothing went through the dispatcher";
  EXPECT_TRUE(line.errors.empty());
}

TEST(WatchLine, ReportsTheFarSideGoingAwayOnceAsAnError) {
  WatchedLine line;
  line.pty.CloseFarSide();
  ASSERT_TRUE(line.Watch());
  ASSERT_EQ(line.errors.size(), 1u);
  EXPECT_TRUE(line.errors[0].Contains(ceIO));
  EXPECT_FALSE(line.port.WatchLine(SerialClock::now() + 20ms)) << "a line gone is reported once";
  EXPECT_EQ(line.errors.size(), 1u);
}

// Whether the handle shows something to take within a while, as an event
// loop's poll would.
bool ShowsSomething(int handle) {
  pollfd fd{handle, POLLIN, 0};
  return ::poll(&fd, 1, 3000) == 1;
}

// The transfer dialog's way: its own loop watches the handle, and the port
// takes what is there without waiting again, until the line is gone.
TEST(WatchLine, AnEventLoopWatchesTheHandleUntilTheLineIsGone) {
  WatchedLine line;
  const int handle = line.port.WatchHandle();
  ASSERT_GE(handle, 0);
  EXPECT_FALSE(line.port.TakeLineEvents()) << "nothing there yet";
  line.pty.Send("\xAA\xBB");
  for (int i = 0; i < 10 && (line.counts.empty() || line.counts.back() < 2); ++i) {
    ASSERT_TRUE(ShowsSomething(handle));
    line.port.TakeLineEvents();
  }
  EXPECT_EQ(line.counts, std::vector<int>(line.counts.size() == 2 ? std::vector<int>{1, 2}
                                                                  : std::vector<int>{2}));
  line.pty.CloseFarSide();
  ASSERT_TRUE(ShowsSomething(handle));
  EXPECT_TRUE(line.port.TakeLineEvents());
  ASSERT_EQ(line.errors.size(), 1u);
  EXPECT_TRUE(line.errors[0].Contains(ceIO));
  EXPECT_EQ(line.port.WatchHandle(), -1) << "a line gone leaves nothing to watch";
  EXPECT_FALSE(line.port.TakeLineEvents());
  EXPECT_EQ(line.errors.size(), 1u);
}

}  // namespace
}  // namespace lumaq
