// The event thread on a real pseudo-terminal: OnRxChar and OnError on the
// owner's thread, one at a time, bytes left queued, closing with a dispatch
// pending or from inside a handler, and the far side going away.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "comm/ComPort.h"
#include "support/PseudoTerminal.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::PseudoTerminal;

struct Line {
  PseudoTerminal pty;
  LoopDispatcher loop;
  TComPort port{loop};
  std::vector<int> counts;  // Count of each OnRxChar
  std::vector<TComErrors> errors;

  Line() {
    ApplyComPort1Design(port);
    port.SetDevicePath(pty.Path());
    port.OnError = [this](TCustomComPort&, TComErrors e) { errors.push_back(e); };
  }
  bool RunUntilEvents(std::size_t count) {
    return loop.RunUntil([&] { return counts.size() >= count; }, 3s);
  }
};

std::string ReadAll(TCustomComPort& port, int count) {
  std::string bytes(static_cast<std::size_t>(count), '\0');
  bytes.resize(static_cast<std::size_t>(port.Read(bytes.data(), count)));
  return bytes;
}

// Processor time of the whole process over a pause, in milliseconds.
double CpuMillisecondsDuring(std::chrono::milliseconds pause) {
  const std::clock_t start = std::clock();
  std::this_thread::sleep_for(pause);
  return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

TEST(OnRxChar, RunsOnTheOwnersThreadWithTheWaitingCount) {
  Line line;
  const auto owner = std::this_thread::get_id();
  std::string received;
  line.port.OnRxChar = [&](TCustomComPort& sender, int count) {
    EXPECT_EQ(&sender, &line.port);
    EXPECT_EQ(std::this_thread::get_id(), owner);
    EXPECT_EQ(count, sender.InputCount());
    line.counts.push_back(count);
    received += ReadAll(sender, count);
  };
  line.port.Open();
  line.pty.Send("\xAA");
  ASSERT_TRUE(line.RunUntilEvents(1));
  EXPECT_EQ(line.counts, std::vector<int>{1});
  line.pty.Send("12345");
  ASSERT_TRUE(line.loop.RunUntil([&] { return received.size() == 6; }, 3s));
  EXPECT_EQ(received,
            "\xAA"
            "12345");
  EXPECT_FALSE(line.loop.RunOne(100ms)) << "everything was read: no further event";
  EXPECT_TRUE(line.errors.empty());
}

TEST(OnRxChar, NeverOverlapsAndReportsBytesThatArrivedDuringTheHandler) {
  Line line;
  int running = 0;
  int nested = 0;
  std::thread instrument;
  line.port.OnRxChar = [&](TCustomComPort& sender, int count) {
    if (++running > 1) ++nested;
    line.counts.push_back(count);
    if (line.counts.size() == 1) {
      instrument = std::thread([&] {
        std::this_thread::sleep_for(30ms);
        line.pty.Send("xyz");
      });
      // A handler that lets the owner's loop run, as the transfer dialog
      // does, and sleeps while more bytes arrive.
      line.loop.RunPending();
      std::this_thread::sleep_for(150ms);
      line.loop.RunPending();
    }
    ReadAll(sender, count);
    --running;
  };
  line.port.Open();
  line.pty.Send("ab");
  ASSERT_TRUE(line.RunUntilEvents(2));
  instrument.join();
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(line.counts, (std::vector<int>{2, 3}));
}

TEST(OnRxChar, BytesLeftInTheQueueWaitWithoutBusyLoopUntilMoreArrive) {
  Line line;
  line.port.OnRxChar = [&](TCustomComPort&, int count) { line.counts.push_back(count); };
  line.port.Open();
  line.pty.Send("abc");
  ASSERT_TRUE(line.RunUntilEvents(1));
  EXPECT_EQ(line.counts, std::vector<int>{3});

  EXPECT_FALSE(line.loop.RunOne(200ms)) << "no new byte, no new event";
  EXPECT_LT(CpuMillisecondsDuring(400ms), 100.0) << "the event thread spins on queued bytes";
  EXPECT_EQ(line.port.InputCount(), 3);

  line.pty.Send("de");
  ASSERT_TRUE(line.RunUntilEvents(2));
  EXPECT_EQ(line.counts, (std::vector<int>{3, 5}));
  EXPECT_EQ(ReadAll(line.port, 5), "abcde");
}

TEST(OnRxChar, WithoutAHandlerBytesStayQueued) {
  Line line;
  line.port.Open();
  line.pty.Send("0123");
  line.loop.RunUntil([&] { return line.port.InputCount() == 4; }, 3s);
  line.loop.RunPending();
  EXPECT_EQ(line.port.InputCount(), 4);
  EXPECT_EQ(ReadAll(line.port, 4), "0123");
}

TEST(OnRxChar, HandlerExceptionsAreReportedAndEventsGoOn) {
  Line line;
  std::vector<std::string> reported;
  line.port.OnException = [&](TCustomComPort&, std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported.push_back(e.what());
    }
  };
  line.port.OnRxChar = [&](TCustomComPort& sender, int count) {
    line.counts.push_back(count);
    ReadAll(sender, count);
    throw std::runtime_error("step failed");
  };
  line.port.Open();
  line.pty.Send("a");
  ASSERT_TRUE(line.RunUntilEvents(1));
  line.pty.Send("b");
  ASSERT_TRUE(line.RunUntilEvents(2));
  EXPECT_EQ(reported, (std::vector<std::string>{"step failed", "step failed"}));
}

TEST(Close, DispatchPendingOnTheOwnersThreadIsCancelled) {
  Line line;
  line.port.OnRxChar = [&](TCustomComPort&, int count) { line.counts.push_back(count); };
  line.port.Open();
  line.pty.Send("\xAA");
  const auto posted = Clock::now() + 3s;
  while (line.loop.PendingCount() == 0 && Clock::now() < posted) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(line.loop.PendingCount(), 1u) << "the event thread handed over no dispatch";

  const auto start = Clock::now();
  line.port.Close();
  EXPECT_LT(Clock::now() - start, 5s) << "Close waited for the cancelled dispatch";
  EXPECT_FALSE(line.port.Connected());
  line.loop.RunPending();
  EXPECT_TRUE(line.counts.empty()) << "a cancelled dispatch ran after Close";
}

TEST(Close, DispatchPendingWhenThePortIsDestroyedNeverReachesIt) {
  PseudoTerminal pty;
  LoopDispatcher loop;
  int events = 0;
  {
    TComPort port(loop);
    port.SetDevicePath(pty.Path());
    port.OnRxChar = [&](TCustomComPort&, int) { ++events; };
    port.Open();
    pty.Send("x");
    const auto posted = Clock::now() + 3s;
    while (loop.PendingCount() == 0 && Clock::now() < posted) std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(loop.PendingCount(), 1u);
  loop.RunPending();
  EXPECT_EQ(events, 0);
}

TEST(Close, FromInsideTheHandlerDoesNotDeadlockAndThePortReopens) {
  Line line;
  line.port.OnRxChar = [&](TCustomComPort& sender, int count) {
    line.counts.push_back(count);
    sender.Close();
    EXPECT_FALSE(sender.Connected());
  };
  line.port.Open();
  line.pty.Send("e");
  ASSERT_TRUE(line.RunUntilEvents(1));
  EXPECT_FALSE(line.port.Connected());

  line.port.Open();
  line.pty.Send("f");
  ASSERT_TRUE(line.RunUntilEvents(2));
  EXPECT_EQ(line.counts, (std::vector<int>{1, 1}));
}

TEST(OnError, FarSideClosingIsOneLineErrorWithoutBusyLoop) {
  Line line;
  line.port.OnRxChar = [&](TCustomComPort&, int count) { line.counts.push_back(count); };
  line.port.Open();
  line.pty.CloseFarSide();
  ASSERT_TRUE(line.loop.RunUntil([&] { return !line.errors.empty(); }, 3s));
  EXPECT_EQ(line.errors, std::vector<TComErrors>{TComErrors{ceIO}});
  EXPECT_TRUE(line.counts.empty());

  EXPECT_FALSE(line.loop.RunOne(200ms)) << "the line error was reported again";
  EXPECT_LT(CpuMillisecondsDuring(400ms), 100.0) << "the event thread spins on a dead line";
  const auto start = Clock::now();
  line.port.Close();
  EXPECT_LT(Clock::now() - start, 5s);
  EXPECT_EQ(line.errors.size(), 1u);
}

TEST(SyncMethod, NoneRunsTheHandlersOnTheEventThread) {
  Line line;
  line.port.SetSyncMethod(smNone);
  std::atomic<bool> done{false};
  std::thread::id ranOn;
  line.port.OnRxChar = [&](TCustomComPort& sender, int count) {
    ranOn = std::this_thread::get_id();
    ReadAll(sender, count);
    done = true;
  };
  line.port.Open();
  line.pty.Send("z");
  const auto deadline = Clock::now() + 3s;
  while (!done && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(done);
  EXPECT_NE(ranOn, std::this_thread::get_id());
  EXPECT_EQ(line.loop.PendingCount(), 0u);
}

}  // namespace
}  // namespace lumaq
