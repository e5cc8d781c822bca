// The port's option groups: the flow-control summary, queue sizes, which
// group each setter re-applies, and the read and write time-out rules.
#include "comm/ComPortOptions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

#include "comm/ComPort.h"
#include "support/RecordingSerialDevice.h"

namespace lumaq {
namespace {

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

TEST(ComPortOptions, EachSetterReappliesItsGroupOnlyForAChange) {
  // The time-outs have nothing to re-apply: Read and Write take them.
  enum class Group { kLine, kQueues, kNothing };
  struct Case {
    const char* label;
    void (*set)(TComPort&);
    Group group;
  };
  const Case cases[] = {
      {"Parity.Bits", [](TComPort& p) { p.Parity().SetBits(prOdd); }, Group::kLine},
      {"Parity.Check", [](TComPort& p) { p.Parity().SetCheck(true); }, Group::kLine},
      {"Parity.Replace", [](TComPort& p) { p.Parity().SetReplace(true); }, Group::kLine},
      {"Parity.ReplaceChar", [](TComPort& p) { p.Parity().SetReplaceChar('?'); }, Group::kLine},
      {"OutCTSFlow", [](TComPort& p) { p.FlowControl().SetOutCTSFlow(true); }, Group::kLine},
      {"OutDSRFlow", [](TComPort& p) { p.FlowControl().SetOutDSRFlow(true); }, Group::kLine},
      {"ControlDTR", [](TComPort& p) { p.FlowControl().SetControlDTR(dtrEnable); }, Group::kLine},
      {"ControlRTS", [](TComPort& p) { p.FlowControl().SetControlRTS(rtsEnable); }, Group::kLine},
      {"XonXoffOut", [](TComPort& p) { p.FlowControl().SetXonXoffOut(true); }, Group::kLine},
      {"XonXoffIn", [](TComPort& p) { p.FlowControl().SetXonXoffIn(true); }, Group::kLine},
      {"DSRSensitivity", [](TComPort& p) { p.FlowControl().SetDSRSensitivity(true); },
       Group::kLine},
      {"TxContinueOnXoff", [](TComPort& p) { p.FlowControl().SetTxContinueOnXoff(true); },
       Group::kLine},
      {"XonChar", [](TComPort& p) { p.FlowControl().SetXonChar(0x12); }, Group::kLine},
      {"XoffChar", [](TComPort& p) { p.FlowControl().SetXoffChar(0x14); }, Group::kLine},
      {"FlowControl summary", [](TComPort& p) { p.FlowControl().SetFlowControl(fcSoftware); },
       Group::kLine},
      {"ReadInterval", [](TComPort& p) { p.Timeouts().SetReadInterval(50); }, Group::kNothing},
      {"ReadTotalMultiplier", [](TComPort& p) { p.Timeouts().SetReadTotalMultiplier(5); },
       Group::kNothing},
      {"ReadTotalConstant", [](TComPort& p) { p.Timeouts().SetReadTotalConstant(5); },
       Group::kNothing},
      {"WriteTotalMultiplier", [](TComPort& p) { p.Timeouts().SetWriteTotalMultiplier(5); },
       Group::kNothing},
      {"WriteTotalConstant", [](TComPort& p) { p.Timeouts().SetWriteTotalConstant(5); },
       Group::kNothing},
      {"InputSize", [](TComPort& p) { p.Buffer().SetInputSize(2048); }, Group::kQueues},
      {"OutputSize", [](TComPort& p) { p.Buffer().SetOutputSize(2048); }, Group::kQueues},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    test::PortOnRecordingDevice p;
    p.port.Open();
    const std::size_t lines = p.device.Configured().size();
    const std::size_t queues = p.device.QueueSizes().size();
    c.set(p.port);
    c.set(p.port);  // the same value again
    EXPECT_EQ(p.device.Configured().size() - lines, c.group == Group::kLine ? 1u : 0u);
    EXPECT_EQ(p.device.QueueSizes().size() - queues, c.group == Group::kQueues ? 1u : 0u);
  }
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

}  // namespace
}  // namespace lumaq
