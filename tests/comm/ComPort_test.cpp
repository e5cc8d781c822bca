// The port on a line in memory: its defaults, when settings reach the line,
// reopening, the error set of OnError, purging, and a closed port.
#include "comm/ComPort.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "comm/ComError.h"
#include "support/RecordingSerialDevice.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using PortOnFake = test::PortOnRecordingDevice;
using test::RecordingSerialDevice;

TEST(ComPortDefaults, NewComponentAndDesignedComPort1) {
  LoopDispatcher loop;
  TComPort port(loop);
  EXPECT_EQ(port.Name(), "ComPort1");
  EXPECT_EQ(port.Port(), "COM1");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  EXPECT_EQ(port.DataBits(), dbEight);
  EXPECT_EQ(port.StopBits(), sbOneStopBit);
  EXPECT_EQ(port.FlowControl().XonChar(), 0x11);
  EXPECT_EQ(port.FlowControl().XoffChar(), 0x13);
  EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
  EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
  EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
  EXPECT_EQ(port.Buffer().InputSize(), 1024);
  EXPECT_EQ(port.Events(), kAllComEvents);
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  EXPECT_EQ(port.StoredProps(), TStoredProps{spBasic});
  EXPECT_FALSE(port.Connected());

  port.SetBaudRate(br57600);
  port.Timeouts().SetReadInterval(-1);
  ApplyComPort1Design(port);
  EXPECT_EQ(port.BaudRate(), br1200);
  EXPECT_EQ(port.Timeouts().ReadInterval(), 200);
  EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 100);
  EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 20000);
  EXPECT_EQ(port.Events(), (TComEvents{evRxChar, evError}));
  EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
}

TEST(ComPortApply, SettingsReachTheLineOnlyWhileOpenAndNotInsideAnUpdate) {
  PortOnFake p;
  p.port.SetBaudRate(br2400);
  p.port.Parity().SetBits(prEven);
  EXPECT_TRUE(p.device.Configured().empty()) << "closed: nothing applied";

  p.port.Open();
  ASSERT_EQ(p.device.Configured().size(), 1u);
  EXPECT_EQ(p.device.Configured().back().baudRate, 2400);
  EXPECT_EQ(p.device.Configured().back().parity, SerialParity::kEven);
  EXPECT_EQ(p.device.QueueSizes(), (std::vector<std::pair<int, int>>{{1024, 1024}}));

  p.port.SetBaudRate(br2400);
  EXPECT_EQ(p.device.Configured().size(), 1u) << "an unchanged value applies nothing";
  p.port.SetBaudRate(br19200);
  p.port.FlowControl().SetXonXoffIn(true);
  ASSERT_EQ(p.device.Configured().size(), 3u);
  EXPECT_TRUE(p.device.Configured().back().xonXoffIn);

  p.port.BeginUpdate();
  p.port.BeginUpdate();
  p.port.SetDataBits(dbSeven);
  p.port.Buffer().SetInputSize(512);
  p.port.EndUpdate();
  EXPECT_EQ(p.device.Configured().size(), 3u) << "still inside the outer update";
  p.port.EndUpdate();
  ASSERT_EQ(p.device.Configured().size(), 4u);
  EXPECT_EQ(p.device.Configured().back().dataBits, 7);
  EXPECT_EQ(p.device.Configured().back().xonLimit, 128);
  EXPECT_EQ(p.device.QueueSizes().back(), (std::pair<int, int>{512, 1024}));
  p.port.EndUpdate();  // unbalanced: nothing happens
  EXPECT_EQ(p.device.Configured().size(), 4u);
}

TEST(ComPortApply, DesignedLineIsEightNoneOneWithoutFlowControl) {
  PortOnFake p;
  ApplyComPort1Design(p.port);
  p.port.SetCustomBaudRate(31250);
  p.port.Open();
  SerialLineSettings designed;
  designed.baudRate = 1200;
  designed.xonLimit = designed.xoffLimit = 256;
  EXPECT_EQ(p.device.Configured(), std::vector<SerialLineSettings>{designed});
  p.port.SetBaudRate(brCustom);
  EXPECT_EQ(p.device.Configured().back().baudRate, 31250);
}

TEST(ComPortApply, ChangingThePortOfAnOpenLineReopensIt) {
  PortOnFake p;
  ComPortMap map;
  map.Map(2, "/dev/ttyX2");
  p.port.SetPortMap(map);
  p.port.Open();
  p.port.SetPort("com2");
  p.port.SetPort("COM2");
  EXPECT_EQ(p.device.Opened(), (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyX2"}));
  EXPECT_EQ(p.device.Closes(), 1);
  EXPECT_TRUE(p.port.Connected());
  p.port.SetDevicePath("/dev/pts/7");
  EXPECT_EQ(p.port.ResolvedDevicePath(), "/dev/pts/7");
}

TEST(ComPortApply, LineSettingsThatFailLeaveThePortClosed) {
  PortOnFake p;
  p.device.FailConfigureWith(EINVAL);
  try {
    p.port.Open();
    FAIL() << "no EComPort";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kSetStateFailed);
    EXPECT_EQ(error.WinCode(), EINVAL);
    EXPECT_EQ(std::string(error.what()), "无法设置串口通讯参数（EINVAL）");
  }
  EXPECT_FALSE(p.port.Connected());
  EXPECT_EQ(p.device.Closes(), 1);
}

TEST(ComPortOnError, LineErrorsBecomeTheErrorSet) {
  struct Case {
    const char* label;
    unsigned lineErrors;
    bool parityCheck;
    std::vector<TComErrors> reported;
  };
  const Case cases[] = {
      {"framing", kLineFrame, false, {{ceFrame}}},
      {"parity while unchecked is none", kLineParity, false, {}},
      {"parity while checked", kLineParity, true, {{ceRxParity}}},
      {"framing and unchecked parity", kLineFrame | kLineParity, false, {{ceFrame}}},
      {"overrun and break", kLineOverrun | kLineBreak, false, {{ceOverrun, ceBreak}}},
      {"input queue overflow", kLineRxOverflow, false, {{ceRxOver}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    PortOnFake p;
    p.port.Parity().SetCheck(c.parityCheck);
    std::vector<int> counts;
    std::vector<TComErrors> reported;
    p.port.OnRxChar = [&](TCustomComPort&, int count) { counts.push_back(count); };
    p.port.OnError = [&](TCustomComPort&, TComErrors errors) { reported.push_back(errors); };
    p.port.Open();
    // The errors are taken with the byte that arrives after them; both are
    // reported in one dispatch, the byte first.
    p.device.AddLineErrors(c.lineErrors);
    p.device.Feed("x");
    ASSERT_TRUE(p.loop.RunUntil([&] { return !counts.empty(); }, 3s));
    EXPECT_EQ(counts, std::vector<int>{1});
    EXPECT_EQ(reported, c.reported);
  }
}

// Closing lets what was sent last (an accepted frame's 0x00) leave; only a
// line that does not take it in time has its output purged.
TEST(ComPortPurge, ClearBufferAndCloseDiscardWhatWasReceived) {
  using Purge = RecordingSerialDevice::Purge;
  for (const bool drains : {true, false}) {
    SCOPED_TRACE(drains ? "the output drains" : "the output never drains");
    PortOnFake p;
    p.port.Open();
    if (!drains) p.device.NeverDrain();
    p.device.Feed("abc");
    p.port.ClearBuffer(false, true);
    EXPECT_EQ(p.port.InputCount(), 3) << "clearing the output keeps the input";
    p.port.ClearBuffer(true, false);
    EXPECT_EQ(p.port.InputCount(), 0);
    p.port.Close();
    std::vector<Purge> purges{{false, true}, {true, false}, {true, false}};
    if (!drains) purges.push_back({false, true});
    EXPECT_EQ(p.device.Purges(), purges);
    EXPECT_EQ(p.device.Drains(), 1);
  }
}

TEST(ComPortClosed, OperationsOfAClosedPortRaiseTheirNumber) {
  LoopDispatcher loop;
  TComPort port(loop);
  char byte = 0;
  const auto code = [](auto operation) {
    try {
      operation();
    } catch (const EComPort& error) {
      return error.Code();
    }
    return 0;
  };
  EXPECT_EQ(code([&] { port.Read(&byte, 1); }), EComPort::kReadFailed);
  EXPECT_EQ(code([&] { port.Write(&byte, 1); }), EComPort::kWriteFailed);
  EXPECT_EQ(code([&] { port.ClearBuffer(true, true); }), EComPort::kPurgeFailed);
  EXPECT_EQ(code([&] { port.InputCount(); }), EComPort::kClearComFailed);
  EXPECT_EQ(code([&] { port.Read(nullptr, 1); }), EComPort::kInvalidAsync);
  EXPECT_EQ(code([&] { port.Write(&byte, -1); }), EComPort::kInvalidAsync);
  port.Close();  // closing a closed port does nothing
}

}  // namespace
}  // namespace lumaq
