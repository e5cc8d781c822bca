// The port on a real pseudo-terminal: opening, line settings, the read rule,
// the input queue and writing. The test plays the instrument on the far side.
#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "comm/ComError.h"
#include "comm/ComPort.h"
#include "comm/SystemErrorName.h"
#include "support/PseudoTerminal.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::PseudoTerminal;

long long MillisecondsSince(Clock::time_point start, Clock::time_point end = Clock::now()) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
}

// ComPort1 as designed, on COM3, which the port map leads to the pseudo-terminal.
struct Line {
  PseudoTerminal pty;
  LoopDispatcher loop;
  TComPort port{loop};
  explicit Line(TComEvents events = {evRxChar, evError}) {
    ApplyComPort1Design(port);
    port.SetEvents(events);
    ComPortMap map;
    map.Map(3, pty.Path());
    port.SetPortMap(map);
    port.SetPort("COM3");
  }
  // Waits until the port holds count bytes.
  bool WaitForInput(int count) {
    const auto deadline = Clock::now() + 3s;
    while (port.InputCount() < count) {
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(2ms);
    }
    return port.InputCount() == count;
  }
};

speed_t OutputSpeed(const PseudoTerminal& pty) {
  const termios tio = pty.NearSettings();
  return cfgetospeed(&tio);
}

// The read rule, with and without the event thread taking bytes from the
// device meanwhile (its dispatches stay pending: nobody runs the loop).
//
// A read cannot end before its time-out has passed, so the lower bounds are
// exact; the upper bounds are loose, for a loaded machine, and only tell a
// time-out that was kept from one that was not (23.3 s with the designed
// values).
class ReadRule : public ::testing::TestWithParam<TComEvents> {};

TEST_P(ReadRule, ShortFrameEndsTheGapAfterItsLastByte) {
  Line line(GetParam());
  line.port.Open();
  Clock::time_point lastSent;  // just before the last byte left
  std::thread instrument([&] {
    std::this_thread::sleep_for(50ms);
    for (int i = 0; i < 20; ++i) {
      if (i > 0) std::this_thread::sleep_for(3ms);
      if (i == 19) lastSent = Clock::now();
      line.pty.Send(std::string(1, static_cast<char>('A' + i)));
    }
  });
  char buffer[33] = {};
  const int got = line.port.Read(buffer, 33);
  const auto returned = Clock::now();
  instrument.join();
  EXPECT_EQ(got, 20);
  EXPECT_EQ(std::string(buffer, 20), "ABCDEFGHIJKLMNOPQRST");
  const long long gap = MillisecondsSince(lastSent, returned);
  EXPECT_GE(gap, 200) << "returned before the 200 ms gap had passed";
  EXPECT_LT(gap, 5000) << "waited for the total instead of the gap";
}

TEST_P(ReadRule, NothingArrivingEndsAtTheTotalTimeout) {
  Line line(GetParam());
  line.port.Timeouts().SetReadTotalMultiplier(10);
  line.port.Timeouts().SetReadTotalConstant(300);  // 10 * 33 + 300 = 630 ms
  line.port.Open();
  char buffer[33];
  const auto start = Clock::now();
  EXPECT_EQ(line.port.Read(buffer, 33), 0);
  const long long took = MillisecondsSince(start);
  EXPECT_GE(took, 630);
  EXPECT_LT(took, 5000);
}

TEST_P(ReadRule, GapsShorterThanTheIntervalKeepTheReadGoing) {
  Line line(GetParam());
  line.port.Open();
  std::thread instrument([&] {
    line.pty.Send("0123456789");
    std::this_thread::sleep_for(60ms);
    line.pty.Send("abcdefghij");
    std::this_thread::sleep_for(60ms);
    line.pty.Send("ABCDEFGHIJKLM");
  });
  char buffer[33] = {};
  const auto start = Clock::now();
  const int got = line.port.Read(buffer, 33);
  instrument.join();
  EXPECT_EQ(got, 33);
  EXPECT_EQ(std::string(buffer, 33), "0123456789abcdefghijABCDEFGHIJKLM");
  EXPECT_LT(MillisecondsSince(start), 5000) << "a complete read waits for nothing more";
}

TEST_P(ReadRule, TheGapCountsOnlyAfterTheFirstByte) {
  Line line(GetParam());
  line.port.Timeouts().SetReadInterval(100);
  line.port.Timeouts().SetReadTotalMultiplier(0);
  line.port.Timeouts().SetReadTotalConstant(20000);
  line.port.Open();
  const auto start = Clock::now();
  std::thread instrument([&] {
    std::this_thread::sleep_for(300ms);
    line.pty.Send("x");
  });
  char buffer[5];
  const int got = line.port.Read(buffer, 5);
  const long long took = MillisecondsSince(start);
  instrument.join();
  EXPECT_EQ(got, 1);
  EXPECT_GE(took, 400) << "the gap ran before the first byte";
  EXPECT_LT(took, 5000) << "waited for the total after the first byte";
}

TEST_P(ReadRule, ImmediateReadTakesWhatIsQueued) {
  Line line(GetParam());
  line.port.Timeouts().SetReadInterval(-1);
  line.port.Timeouts().SetReadTotalMultiplier(0);
  line.port.Timeouts().SetReadTotalConstant(0);
  line.port.Open();
  char buffer[8];
  auto start = Clock::now();
  EXPECT_EQ(line.port.Read(buffer, 8), 0);
  EXPECT_LT(MillisecondsSince(start), 5000);
  line.pty.Send("abc");
  ASSERT_TRUE(line.WaitForInput(3));
  start = Clock::now();
  EXPECT_EQ(line.port.Read(buffer, 8), 3);
  EXPECT_LT(MillisecondsSince(start), 5000);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

INSTANTIATE_TEST_SUITE_P(EventThread, ReadRule,
                         ::testing::Values(TComEvents{}, TComEvents{evRxChar, evError}),
                         [](const auto& test) {
                           return test.param.Empty() ? std::string("Without") : std::string("With");
                         });

TEST(ComPortQueue, InputCountClearBufferAndStartingEmpty) {
  Line line;
  const std::string earlier = "left by an earlier user";
  line.pty.Send(earlier);
  ASSERT_TRUE(line.pty.WaitUntilNearSideHolds(earlier.size(), 3s));
  line.port.Open();
  EXPECT_EQ(line.port.InputCount(), 0) << "input from before the open is discarded";

  line.pty.Send("1234567");
  ASSERT_TRUE(line.WaitForInput(7));
  line.port.ClearBuffer(false, true);
  EXPECT_EQ(line.port.InputCount(), 7) << "clearing the output keeps the input";
  line.port.ClearBuffer(true, false);
  EXPECT_EQ(line.port.InputCount(), 0);
  line.pty.Send("89");
  ASSERT_TRUE(line.WaitForInput(2));
  char buffer[2];
  EXPECT_EQ(line.port.Read(buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "89");
}

TEST(ComPortQueue, BytesBeyondTheInputSizeWaitInTheDevice) {
  Line line;
  line.port.Buffer().SetInputSize(16);
  line.port.Open();
  const std::string bytes(100, 'q');
  line.pty.Send(bytes);
  ASSERT_TRUE(line.WaitForInput(100));
  char buffer[100];
  EXPECT_EQ(line.port.Read(buffer, 100), 100);
  EXPECT_EQ(std::string(buffer, 100), bytes);
}

TEST(ComPortWrite, BytesReachTheFarSide) {
  Line line;
  line.port.Open();
  const std::string frame("\xAA\x00\xBB\xFF\xEE", 5);
  EXPECT_EQ(line.port.Write(frame.data(), 5), 5);
  EXPECT_EQ(line.pty.Receive(5, 2s), frame);
  EXPECT_EQ(line.port.Write(frame.data(), 0), 0);
}

// The 0x00 of a frame accepted just before a Cancel or Ctrl-C closes the
// port reaches the instrument, which would otherwise send the frame again.
TEST(ComPortWrite, BytesWrittenJustBeforeTheCloseStillReachTheFarSide) {
  Line line;
  line.port.Open();
  const char ok = '\0';
  ASSERT_EQ(line.port.Write(&ok, 1), 1);
  line.port.Close();
  EXPECT_EQ(line.pty.Receive(1, 2s), std::string(1, '\0'));
}

TEST(ComPortOpen, SecondOpenOfTheSamePortFailsAndStaysClosed) {
  Line line;
  line.port.Open();
  LoopDispatcher otherLoop;
  TComPort other(otherLoop);
  other.SetDevicePath(line.pty.Path());
  try {
    other.Open();
    FAIL() << "opened a port another program holds";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kOpenFailed);
    EXPECT_GT(error.WinCode(), 0);
    EXPECT_EQ(std::string(error.what()),
              "无法打开串口（" + SystemErrorName(error.WinCode()) + "）");
  }
  EXPECT_FALSE(other.Connected());
  EXPECT_TRUE(line.port.Connected());

  line.port.Close();
  other.Open();
  EXPECT_TRUE(other.Connected()) << "the port is free again once closed";
}

TEST(ComPortOpen, MissingDeviceFailsWithTheSystemsCode) {
  LoopDispatcher loop;
  TComPort port(loop);
  port.SetDevicePath("/dev/lumaq-no-such-tty");
  try {
    port.Open();
    FAIL() << "opened a missing device";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kOpenFailed);
    EXPECT_EQ(error.WinCode(), ENOENT);
  }
  EXPECT_FALSE(port.Connected());
}

TEST(ComPortLineSettings, TermiosFollowsTheSettings) {
  struct Case {
    const char* label;
    void (*change)(TComPort&);
    speed_t speed;
    tcflag_t cflagSet;
    tcflag_t iflagSet;
  };
  const Case cases[] = {
      {"designed: 1200 8N1", [](TComPort&) {}, B1200, CS8, 0},
      {"7E2 at 19200",
       [](TComPort& p) {
         p.SetBaudRate(br19200);
         p.SetDataBits(dbSeven);
         p.Parity().SetBits(prEven);
         p.SetStopBits(sbTwoStopBits);
       },
       B19200, CS7 | PARENB | CSTOPB, 0},
      {"odd parity, hardware flow",
       [](TComPort& p) {
         p.Parity().SetBits(prOdd);
         p.FlowControl().SetFlowControl(fcHardware);
       },
       B1200, CS8 | PARENB | PARODD | CRTSCTS, 0},
      {"5 data bits, mark parity, 1.5 stop bits, software flow",
       [](TComPort& p) {
         p.SetDataBits(dbFive);
         p.Parity().SetBits(prMark);
         p.SetStopBits(sbOne5StopBits);
         p.FlowControl().SetFlowControl(fcSoftware);
       },
       B1200, CS5 | PARENB | PARODD | CMSPAR | CSTOPB, IXON | IXOFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Line line;
    c.change(line.port);
    line.port.Open();
    const termios tio = line.pty.NearSettings();
    EXPECT_EQ(cfgetospeed(&tio), c.speed);
    // A pseudo-terminal always reports 8 data bits without parity; the rest
    // of the line's shape is kept as set.
    const tcflag_t shape = PARODD | CMSPAR | CSTOPB | CRTSCTS;
    EXPECT_EQ(tio.c_cflag & shape, c.cflagSet & shape);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK), c.iflagSet);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
  }
}

TEST(ComPortLineSettings, ChangesApplyToTheOpenLine) {
  Line line;
  line.port.Open();
  line.port.SetBaudRate(br4800);
  EXPECT_EQ(OutputSpeed(line.pty), B4800);
  line.port.BeginUpdate();
  line.port.SetBaudRate(br600);
  EXPECT_EQ(OutputSpeed(line.pty), B4800);
  line.port.EndUpdate();
  EXPECT_EQ(OutputSpeed(line.pty), B600);
}

TEST(ComPortLineSettings, RatesWithoutAStandardCodeOpen) {
  for (TBaudRate rate : {br14400, br56000, br128000, brCustom}) {
    Line line;
    line.port.SetBaudRate(rate);
    line.port.SetCustomBaudRate(31250);
    EXPECT_NO_THROW(line.port.Open()) << BaudRateToStr(rate);
    EXPECT_TRUE(line.port.Connected());
  }
}

TEST(ComPortLineSettings, ImpossibleCombinationFailsToSetTheStateAndClosesThePort) {
  Line line;
  line.port.SetStopBits(sbOne5StopBits);  // with 8 data bits
  try {
    line.port.Open();
    FAIL() << "opened with 1.5 stop bits and 8 data bits";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kSetStateFailed);
    EXPECT_EQ(error.WinCode(), EINVAL);
  }
  EXPECT_FALSE(line.port.Connected());
  line.port.SetStopBits(sbOneStopBit);
  line.port.Open();  // the device was released
  EXPECT_TRUE(line.port.Connected());
}

TEST(ComPortLineSettings, DiscardNullDropsZeroBytes) {
  Line line;
  line.port.SetDiscardNull(true);
  line.port.Open();
  line.pty.Send(std::string("a\0b\0\0c", 6));
  char buffer[3] = {};
  EXPECT_EQ(line.port.Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(ComPortHangUp, ReadAndWriteOfALineThatIsGoneRaise) {
  Line line(TComEvents{});
  line.port.Open();
  line.pty.CloseFarSide();
  char buffer[4];
  try {
    line.port.Read(buffer, 4);
    FAIL() << "read from a line that is gone";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kReadFailed);
  }
  EXPECT_THROW(line.port.Write("x", 1), EComPort);
  const auto start = Clock::now();
  line.port.Close();
  EXPECT_FALSE(line.port.Connected());
  EXPECT_LT(MillisecondsSince(start), 5000);
}

}  // namespace
}  // namespace lumaq
