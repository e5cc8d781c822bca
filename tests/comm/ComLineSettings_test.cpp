// The line settings a port's settings make, member by member.
#include "comm/ComLineSettings.h"

#include <gtest/gtest.h>

#include "comm/ComPort.h"
#include "support/RecordingSerialDevice.h"

namespace lumaq {
namespace {

TEST(LineSettingsOf, EachSettingReachesItsLineMember) {
  struct Case {
    const char* label;
    void (*change)(TComPort&);
    void (*expect)(SerialLineSettings&);  // what changes from a new port's line
  };
  const Case cases[] = {
      {"new port: 9600 8N1, limits a quarter of 1024", [](TComPort&) {},
       [](SerialLineSettings&) {}},
      {"listed rate", [](TComPort& p) { p.SetBaudRate(br128000); },
       [](SerialLineSettings& l) { l.baudRate = 128000; }},
      {"custom rate",
       [](TComPort& p) {
         p.SetBaudRate(brCustom);
         p.SetCustomBaudRate(31250);
       },
       [](SerialLineSettings& l) { l.baudRate = 31250; }},
      {"custom value unused by a listed rate", [](TComPort& p) { p.SetCustomBaudRate(31250); },
       [](SerialLineSettings&) {}},
      {"5 data bits", [](TComPort& p) { p.SetDataBits(dbFive); },
       [](SerialLineSettings& l) { l.dataBits = 5; }},
      {"odd parity", [](TComPort& p) { p.Parity().SetBits(prOdd); },
       [](SerialLineSettings& l) { l.parity = SerialParity::kOdd; }},
      {"even parity", [](TComPort& p) { p.Parity().SetBits(prEven); },
       [](SerialLineSettings& l) { l.parity = SerialParity::kEven; }},
      {"mark parity", [](TComPort& p) { p.Parity().SetBits(prMark); },
       [](SerialLineSettings& l) { l.parity = SerialParity::kMark; }},
      {"space parity", [](TComPort& p) { p.Parity().SetBits(prSpace); },
       [](SerialLineSettings& l) { l.parity = SerialParity::kSpace; }},
      {"1.5 stop bits", [](TComPort& p) { p.SetStopBits(sbOne5StopBits); },
       [](SerialLineSettings& l) { l.stopBits = SerialStopBits::kOneAndHalf; }},
      {"2 stop bits", [](TComPort& p) { p.SetStopBits(sbTwoStopBits); },
       [](SerialLineSettings& l) { l.stopBits = SerialStopBits::kTwo; }},
      {"checked parity replaced",
       [](TComPort& p) {
         p.Parity().SetCheck(true);
         p.Parity().SetReplace(true);
         p.Parity().SetReplaceChar('?');
       },
       [](SerialLineSettings& l) {
         l.parityCheck = l.replaceErrors = true;
         l.replaceChar = '?';
       }},
      {"replacement without checking replaces nothing",
       [](TComPort& p) {
         p.Parity().SetReplace(true);
         p.Parity().SetReplaceChar('?');
       },
       [](SerialLineSettings& l) { l.replaceChar = '?'; }},
      {"DTR on", [](TComPort& p) { p.FlowControl().SetControlDTR(dtrEnable); },
       [](SerialLineSettings& l) { l.dtr = SerialDtr::kOn; }},
      {"DTR handshake", [](TComPort& p) { p.FlowControl().SetControlDTR(dtrHandshake); },
       [](SerialLineSettings& l) { l.dtr = SerialDtr::kHandshake; }},
      {"RTS on", [](TComPort& p) { p.FlowControl().SetControlRTS(rtsEnable); },
       [](SerialLineSettings& l) { l.rts = SerialRts::kOn; }},
      {"RTS toggled", [](TComPort& p) { p.FlowControl().SetControlRTS(rtsToggle); },
       [](SerialLineSettings& l) { l.rts = SerialRts::kToggle; }},
      {"hardware flow", [](TComPort& p) { p.FlowControl().SetFlowControl(fcHardware); },
       [](SerialLineSettings& l) {
         l.rts = SerialRts::kHandshake;
         l.ctsOutputFlow = true;
       }},
      {"DSR members",
       [](TComPort& p) {
         p.FlowControl().SetOutDSRFlow(true);
         p.FlowControl().SetDSRSensitivity(true);
       },
       [](SerialLineSettings& l) { l.dsrOutputFlow = l.dsrSensitivity = true; }},
      {"software flow with its characters",
       [](TComPort& p) {
         p.FlowControl().SetFlowControl(fcSoftware);
         p.FlowControl().SetTxContinueOnXoff(true);
         p.FlowControl().SetXonChar(0x01);
         p.FlowControl().SetXoffChar(0x02);
       },
       [](SerialLineSettings& l) {
         l.xonXoffIn = l.xonXoffOut = l.continueOnXoff = true;
         l.xonChar = 0x01;
         l.xoffChar = 0x02;
       }},
      {"limits follow the input size", [](TComPort& p) { p.Buffer().SetInputSize(512); },
       [](SerialLineSettings& l) { l.xonLimit = l.xoffLimit = 128; }},
      {"event character and null bytes dropped",
       [](TComPort& p) {
         p.SetEventChar(0x0D);
         p.SetDiscardNull(true);
       },
       [](SerialLineSettings& l) {
         l.eventChar = 0x0D;
         l.discardNull = true;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    LoopDispatcher loop;
    TComPort port(loop);
    c.change(port);
    SerialLineSettings expected;
    expected.xonLimit = expected.xoffLimit = 256;
    c.expect(expected);
    EXPECT_EQ(LineSettingsOf(port), expected);
  }
}

}  // namespace
}  // namespace lumaq
