// The port's settings without a line: texts, value objects and when settings
// reach the backend. A recording backend stands in for the device.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "comm/ComPort.h"

namespace lumaq {
namespace {

class RecordingDevice final : public SerialDevice {
 public:
  struct Log {
    std::vector<std::string> opened;
    std::vector<SerialLineSettings> configured;
    std::vector<std::pair<int, int>> queueSizes;
    int closes = 0;
    int failConfigureWith = 0;
  };
  explicit RecordingDevice(Log& log) : log_(log) {}

  void Open(const std::string& path) override {
    log_.opened.push_back(path);
    open_ = true;
  }
  void Close() noexcept override {
    if (open_) ++log_.closes;
    open_ = false;
  }
  bool IsOpen() const noexcept override { return open_; }
  void Configure(const SerialLineSettings& settings) override {
    if (log_.failConfigureWith) throw SerialError("configure", log_.failConfigureWith);
    log_.configured.push_back(settings);
  }
  void SetQueueSizes(int input, int output) override {
    log_.queueSizes.emplace_back(input, output);
  }
  SerialWaitResult Wait(SerialClock::time_point, unsigned) override {
    return SerialWaitResult::kTimedOut;
  }
  void Interrupt() noexcept override {}
  std::size_t ReadAvailable(std::span<std::uint8_t>) override { return 0; }
  std::size_t Write(std::span<const std::uint8_t> bytes, SerialClock::time_point) override {
    return bytes.size();
  }
  void Flush(bool, bool) override {}
  std::size_t BytesWaiting() override { return 0; }
  unsigned TakeLineErrors() override { return 0; }

 private:
  Log& log_;
  bool open_ = false;
};

struct PortWithLog {
  LoopDispatcher loop;
  RecordingDevice::Log log;
  TComPort port{loop, std::make_unique<RecordingDevice>(log)};
  PortWithLog() { port.SetEvents({}); }  // no event thread for a device that never fires
};

TEST(ComSettingsText, EveryValueRoundTripsAndUnknownTextsFallBack) {
  for (int rate = brCustom; rate <= br256000; ++rate) {
    const auto value = static_cast<TBaudRate>(rate);
    EXPECT_EQ(StrToBaudRate(BaudRateToStr(value)), value) << BaudRateToStr(value);
  }
  for (int bits = dbFive; bits <= dbEight; ++bits) {
    EXPECT_EQ(StrToDataBits(DataBitsToStr(static_cast<TDataBits>(bits))), bits);
  }
  for (int bits = sbOneStopBit; bits <= sbTwoStopBits; ++bits) {
    EXPECT_EQ(StrToStopBits(StopBitsToStr(static_cast<TStopBits>(bits))), bits);
  }
  for (int parity = prNone; parity <= prSpace; ++parity) {
    EXPECT_EQ(StrToParity(ParityToStr(static_cast<TParityBits>(parity))), parity);
  }
  for (int flow = fcHardware; flow <= fcCustom; ++flow) {
    EXPECT_EQ(StrToFlowControl(FlowControlToStr(static_cast<TFlowControl>(flow))), flow);
  }
  EXPECT_EQ(BaudRateToStr(br14400), "14400");
  EXPECT_EQ(StopBitsToStr(sbOne5StopBits), "1.5");

  EXPECT_EQ(StrToBaudRate("14400"), br14400);
  EXPECT_EQ(StrToBaudRate("custom"), brCustom);
  EXPECT_EQ(StrToBaudRate("12345"), br9600);
  EXPECT_EQ(StrToBaudRate(""), br9600);
  EXPECT_EQ(StrToParity("none"), prNone);
  EXPECT_EQ(StrToParity("SPACE"), prSpace);
  EXPECT_EQ(StrToParity("X"), prNone);
  EXPECT_EQ(StrToStopBits("1,5"), sbOneStopBit);
  EXPECT_EQ(StrToDataBits("9"), dbEight);
  EXPECT_EQ(StrToFlowControl("hardware"), fcHardware);
  EXPECT_EQ(StrToFlowControl("RTS"), fcCustom);
}

TEST(ComFlowControl, SummaryOfTheMembers) {
  struct Case {
    TRTSFlowControl rts;
    bool cts, xonIn, xonOut;
    TFlowControl expected;
  };
  const Case cases[] = {
      {rtsHandshake, true, false, false, fcHardware}, {rtsDisable, false, true, true, fcSoftware},
      {rtsDisable, false, false, false, fcNone},      {rtsEnable, false, false, false, fcCustom},
      {rtsHandshake, false, false, false, fcCustom},  {rtsDisable, false, true, false, fcCustom},
      {rtsHandshake, true, true, true, fcCustom},
  };
  LoopDispatcher loop;
  TComPort port(loop);
  for (const auto& c : cases) {
    TComFlowControl& flow = port.FlowControl();
    flow.SetControlRTS(c.rts);
    flow.SetOutCTSFlow(c.cts);
    flow.SetXonXoffIn(c.xonIn);
    flow.SetXonXoffOut(c.xonOut);
    EXPECT_EQ(flow.FlowControl(), c.expected) << c.rts << c.cts << c.xonIn << c.xonOut;
  }
}

TEST(ComFlowControl, SettingTheSummaryTouchesOnlyItsFourMembers) {
  LoopDispatcher loop;
  TComPort port(loop);
  TComFlowControl& flow = port.FlowControl();
  flow.SetControlDTR(dtrEnable);
  flow.SetOutDSRFlow(true);
  flow.SetControlRTS(rtsToggle);
  flow.SetXonXoffIn(true);
  flow.SetFlowControl(fcCustom);
  EXPECT_EQ(flow.ControlRTS(), rtsToggle);
  EXPECT_TRUE(flow.XonXoffIn());
  for (TFlowControl summary : {fcHardware, fcSoftware, fcNone}) {
    flow.SetFlowControl(summary);
    EXPECT_EQ(flow.FlowControl(), summary);
    EXPECT_EQ(flow.ControlDTR(), dtrEnable);
    EXPECT_TRUE(flow.OutDSRFlow());
  }
}

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

TEST(ComBuffer, OddSizesAreLoweredByOne) {
  LoopDispatcher loop;
  TComPort port(loop);
  const std::pair<int, int> cases[] = {{4097, 4096}, {4096, 4096}, {1, 0}, {2, 2}};
  for (const auto& [given, kept] : cases) {
    port.Buffer().SetInputSize(given);
    port.Buffer().SetOutputSize(given);
    EXPECT_EQ(port.Buffer().InputSize(), kept) << given;
    EXPECT_EQ(port.Buffer().OutputSize(), kept) << given;
  }
}

TEST(ComPortApply, SettingsReachTheLineOnlyWhileOpenAndNotInsideAnUpdate) {
  PortWithLog p;
  p.port.SetBaudRate(br2400);
  p.port.Parity().SetBits(prEven);
  EXPECT_TRUE(p.log.configured.empty()) << "closed: nothing applied";

  p.port.Open();
  ASSERT_EQ(p.log.configured.size(), 1u);
  EXPECT_EQ(p.log.configured.back().baudRate, 2400);
  EXPECT_EQ(p.log.configured.back().parity, SerialParity::kEven);
  EXPECT_EQ(p.log.queueSizes, (std::vector<std::pair<int, int>>{{1024, 1024}}));

  p.port.SetBaudRate(br2400);
  EXPECT_EQ(p.log.configured.size(), 1u) << "an unchanged value applies nothing";
  p.port.SetBaudRate(br19200);
  p.port.FlowControl().SetXonXoffIn(true);
  EXPECT_EQ(p.log.configured.size(), 3u);
  EXPECT_TRUE(p.log.configured.back().xonXoffIn);

  p.port.BeginUpdate();
  p.port.BeginUpdate();
  p.port.SetDataBits(dbSeven);
  p.port.Buffer().SetInputSize(512);
  p.port.EndUpdate();
  EXPECT_EQ(p.log.configured.size(), 3u) << "still inside the outer update";
  p.port.EndUpdate();
  ASSERT_EQ(p.log.configured.size(), 4u);
  EXPECT_EQ(p.log.configured.back().dataBits, 7);
  EXPECT_EQ(p.log.configured.back().xonLimit, 128);
  EXPECT_EQ(p.log.queueSizes.back(), (std::pair<int, int>{512, 1024}));
  p.port.EndUpdate();  // unbalanced: nothing happens
  EXPECT_EQ(p.log.configured.size(), 4u);
}

TEST(ComPortApply, DesignedLineIsEightNoneOneWithoutFlowControl) {
  PortWithLog p;
  ApplyComPort1Design(p.port);
  p.port.SetEvents({});
  p.port.SetCustomBaudRate(31250);
  p.port.Open();
  ASSERT_EQ(p.log.configured.size(), 1u);
  const SerialLineSettings& line = p.log.configured.back();
  EXPECT_EQ(line.baudRate, 1200);
  EXPECT_EQ(line.dataBits, 8);
  EXPECT_EQ(line.parity, SerialParity::kNone);
  EXPECT_EQ(line.stopBits, SerialStopBits::kOne);
  EXPECT_FALSE(line.parityCheck || line.ctsOutputFlow || line.dsrOutputFlow || line.xonXoffIn ||
               line.xonXoffOut || line.discardNull);
  EXPECT_EQ(line.dtr, SerialDtr::kOff);
  EXPECT_EQ(line.rts, SerialRts::kOff);
  p.port.SetBaudRate(brCustom);
  EXPECT_EQ(p.log.configured.back().baudRate, 31250);
}

TEST(ComPortApply, ChangingThePortOfAnOpenLineReopensIt) {
  PortWithLog p;
  ComPortMap map;
  map.Map(2, "/dev/ttyX2");
  p.port.SetPortMap(map);
  p.port.Open();
  p.port.SetPort("com2");
  p.port.SetPort("COM2");
  EXPECT_EQ(p.log.opened, (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyX2"}));
  EXPECT_EQ(p.log.closes, 1);
  EXPECT_TRUE(p.port.Connected());
  p.port.SetDevicePath("/dev/pts/7");
  EXPECT_EQ(p.port.ResolvedDevicePath(), "/dev/pts/7");
}

TEST(ComPortApply, LineSettingsThatFailLeaveThePortClosed) {
  PortWithLog p;
  p.log.failConfigureWith = EINVAL;
  try {
    p.port.Open();
    FAIL() << "no EComPort";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), 7);
    EXPECT_EQ(error.WinCode(), EINVAL);
    EXPECT_EQ(std::string(error.what()),
              "SetCommState function failed (win error code: " + std::to_string(EINVAL) + ")");
  }
  EXPECT_FALSE(p.port.Connected());
  EXPECT_EQ(p.log.closes, 1);
}

TEST(EComPortText, MessagesOfTheNumbers) {
  const std::pair<int, const char*> cases[] = {
      {1, "Unable to open com port"},      {2, "WriteFile function failed"},
      {3, "ReadFile function failed"},     {4, "Invalid Async parameter"},
      {5, "PurgeComm function failed"},    {6, "Unable to get async status"},
      {7, "SetCommState function failed"}, {8, "SetCommTimeouts failed"},
      {9, "SetupComm function failed"},    {10, "ClearCommError function failed"},
      {15, "EnumPorts function failed"},   {16, "Failed to store settings"},
      {17, "Failed to load settings"},
  };
  for (const auto& [code, text] : cases) {
    EXPECT_EQ(std::string(EComPort(code).what()), text);
    EXPECT_EQ(EComPort(code).WinCode(), -1);
  }
  EXPECT_EQ(std::string(EComPort(1, 16).what()), "Unable to open com port (win error code: 16)");
}

TEST(ComReadLimits, FromTheTimeouts) {
  using std::chrono::milliseconds;
  struct Case {
    const char* label;
    std::int32_t interval, multiplier, constant;
    int count;
    bool immediate, firstByte;
    std::optional<milliseconds> gap, total;
  };
  const Case cases[] = {
      {"designed: 200 ms gap, 100 per byte + 20 s", 200, 100, 20000, 33, false, false,
       milliseconds(200), milliseconds(23300)},
      {"-1 with zero totals: at once", -1, 0, 0, 33, true, false, std::nullopt, std::nullopt},
      {"-1, -1, constant: first byte or constant", -1, -1, 500, 33, false, true, std::nullopt,
       milliseconds(500)},
      {"all zero: no limit", 0, 0, 0, 10, false, false, std::nullopt, std::nullopt},
      {"gap only", 50, 0, 0, 10, false, false, milliseconds(50), std::nullopt},
      {"32-bit unsigned product does not wrap", 0, -2, 0, 2, false, false, std::nullopt,
       milliseconds(2 * 4294967294LL)},
  };
  LoopDispatcher loop;
  TComPort port(loop);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    port.Timeouts().SetReadInterval(c.interval);
    port.Timeouts().SetReadTotalMultiplier(c.multiplier);
    port.Timeouts().SetReadTotalConstant(c.constant);
    const ComReadLimits limits = ReadLimits(port.Timeouts(), c.count);
    EXPECT_EQ(limits.immediate, c.immediate);
    EXPECT_EQ(limits.firstByte, c.firstByte);
    EXPECT_EQ(limits.interval, c.gap);
    EXPECT_EQ(limits.total, c.total);
  }
  EXPECT_EQ(WriteLimit(port.Timeouts(), 3), milliseconds(1300));
  port.Timeouts().SetWriteTotalMultiplier(0);
  port.Timeouts().SetWriteTotalConstant(0);
  EXPECT_EQ(WriteLimit(port.Timeouts(), 3), std::nullopt);
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
  EXPECT_EQ(code([&] { port.Read(&byte, 1); }), 3);
  EXPECT_EQ(code([&] { port.Write(&byte, 1); }), 2);
  EXPECT_EQ(code([&] { port.ClearBuffer(true, true); }), 5);
  EXPECT_EQ(code([&] { port.InputCount(); }), 10);
  EXPECT_EQ(code([&] { port.Read(nullptr, 1); }), 4);
  EXPECT_EQ(code([&] { port.Write(&byte, -1); }), 4);
  port.Close();  // closing a closed port does nothing
}

}  // namespace
}  // namespace lumaq
