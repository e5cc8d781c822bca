#include "comm/ComLineSettings.h"

#include <cstddef>

#include "comm/ComPort.h"

namespace lumaq {
namespace {

template <typename From, typename To>
struct Mapping {
  From from;
  To to;
};

constexpr Mapping<TParityBits, SerialParity> kParities[] = {
    {prNone, SerialParity::kNone}, {prOdd, SerialParity::kOdd},     {prEven, SerialParity::kEven},
    {prMark, SerialParity::kMark}, {prSpace, SerialParity::kSpace},
};

constexpr Mapping<TStopBits, SerialStopBits> kStopBits[] = {
    {sbOneStopBit, SerialStopBits::kOne},
    {sbOne5StopBits, SerialStopBits::kOneAndHalf},
    {sbTwoStopBits, SerialStopBits::kTwo},
};

constexpr Mapping<TDTRFlowControl, SerialDtr> kDtrModes[] = {
    {dtrDisable, SerialDtr::kOff},
    {dtrEnable, SerialDtr::kOn},
    {dtrHandshake, SerialDtr::kHandshake},
};

constexpr Mapping<TRTSFlowControl, SerialRts> kRtsModes[] = {
    {rtsDisable, SerialRts::kOff},
    {rtsEnable, SerialRts::kOn},
    {rtsHandshake, SerialRts::kHandshake},
    {rtsToggle, SerialRts::kToggle},
};

// The table's value for from; fallback for a value the table does not hold.
template <typename From, typename To, std::size_t N>
To Mapped(const Mapping<From, To> (&table)[N], From from, To fallback) {
  for (const auto& entry : table) {
    if (entry.from == from) return entry.to;
  }
  return fallback;
}

}  // namespace

int LineBaudRate(const TCustomComPort& port) {
  return port.BaudRate() == brCustom ? port.CustomBaudRate() : BaudRateValue(port.BaudRate());
}

SerialLineSettings LineSettingsOf(const TCustomComPort& port) {
  const TComParity& parity = port.Parity();
  const TComFlowControl& flow = port.FlowControl();
  SerialLineSettings line;

  line.baudRate = LineBaudRate(port);
  line.dataBits = DataBitsValue(port.DataBits());
  line.parity = Mapped(kParities, parity.Bits(), line.parity);
  line.stopBits = Mapped(kStopBits, port.StopBits(), line.stopBits);
  line.parityCheck = parity.Check();
  line.replaceErrors = parity.Check() && parity.Replace();
  line.replaceChar = parity.ReplaceChar();
  line.discardNull = port.DiscardNull();

  line.ctsOutputFlow = flow.OutCTSFlow();
  line.dsrOutputFlow = flow.OutDSRFlow();
  line.dsrSensitivity = flow.DSRSensitivity();
  line.dtr = Mapped(kDtrModes, flow.ControlDTR(), line.dtr);
  line.rts = Mapped(kRtsModes, flow.ControlRTS(), line.rts);
  line.xonXoffOut = flow.XonXoffOut();
  line.xonXoffIn = flow.XonXoffIn();
  line.continueOnXoff = flow.TxContinueOnXoff();
  line.xonChar = flow.XonChar();
  line.xoffChar = flow.XoffChar();
  line.xonLimit = line.xoffLimit = port.Buffer().InputSize() / 4;

  line.eventChar = port.EventChar();
  return line;
}

}  // namespace lumaq
