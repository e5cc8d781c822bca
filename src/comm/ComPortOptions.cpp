#include "comm/ComPortOptions.h"

#include <limits>

#include "comm/ComPort.h"

namespace lumaq {
namespace {

// Stores value when it differs from field; true when it did.
template <typename T>
bool Changed(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

// A queue size that is odd is lowered by one.
int EvenSize(int value) {
  return value % 2 != 0 ? value - 1 : value;
}

// A time-out as the unsigned 32-bit value it stands for: -1 is the largest.
std::uint64_t Milliseconds(std::int32_t value) {
  return static_cast<std::uint32_t>(value);
}
constexpr std::uint64_t kMaxMilliseconds = std::numeric_limits<std::uint32_t>::max();

}  // namespace

void TComParity::SetBits(TParityBits value) {
  if (Changed(bits_, value)) port_.ApplyDCB();
}
void TComParity::SetCheck(bool value) {
  if (Changed(check_, value)) port_.ApplyDCB();
}
void TComParity::SetReplace(bool value) {
  if (Changed(replace_, value)) port_.ApplyDCB();
}
void TComParity::SetReplaceChar(std::uint8_t value) {
  if (Changed(replaceChar_, value)) port_.ApplyDCB();
}

void TComFlowControl::SetOutCTSFlow(bool value) {
  if (Changed(outCTSFlow_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetOutDSRFlow(bool value) {
  if (Changed(outDSRFlow_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
  if (Changed(controlDTR_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
  if (Changed(controlRTS_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetXonXoffOut(bool value) {
  if (Changed(xonXoffOut_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetXonXoffIn(bool value) {
  if (Changed(xonXoffIn_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetDSRSensitivity(bool value) {
  if (Changed(dsrSensitivity_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
  if (Changed(txContinueOnXoff_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetXonChar(std::uint8_t value) {
  if (Changed(xonChar_, value)) port_.ApplyDCB();
}
void TComFlowControl::SetXoffChar(std::uint8_t value) {
  if (Changed(xoffChar_, value)) port_.ApplyDCB();
}

TFlowControl TComFlowControl::FlowControl() const {
  if (controlRTS_ == rtsHandshake && outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_) return fcHardware;
  if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffIn_ && xonXoffOut_) return fcSoftware;
  if (controlRTS_ == rtsDisable && !outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
  TRTSFlowControl rts = controlRTS_;
  bool cts = outCTSFlow_;
  bool xon = xonXoffIn_;
  switch (value) {
    case fcHardware:
      rts = rtsHandshake, cts = true, xon = false;
      break;
    case fcSoftware:
      rts = rtsDisable, cts = false, xon = true;
      break;
    case fcNone:
      rts = rtsDisable, cts = false, xon = false;
      break;
    case fcCustom:
      return;
  }
  if (rts == controlRTS_ && cts == outCTSFlow_ && xon == xonXoffIn_ && xon == xonXoffOut_) return;
  controlRTS_ = rts;
  outCTSFlow_ = cts;
  xonXoffIn_ = xonXoffOut_ = xon;
  port_.ApplyDCB();
}

void TComTimeouts::SetReadInterval(std::int32_t value) {
  if (Changed(readInterval_, value)) port_.ApplyTimeouts();
}
void TComTimeouts::SetReadTotalMultiplier(std::int32_t value) {
  if (Changed(readTotalMultiplier_, value)) port_.ApplyTimeouts();
}
void TComTimeouts::SetReadTotalConstant(std::int32_t value) {
  if (Changed(readTotalConstant_, value)) port_.ApplyTimeouts();
}
void TComTimeouts::SetWriteTotalMultiplier(std::int32_t value) {
  if (Changed(writeTotalMultiplier_, value)) port_.ApplyTimeouts();
}
void TComTimeouts::SetWriteTotalConstant(std::int32_t value) {
  if (Changed(writeTotalConstant_, value)) port_.ApplyTimeouts();
}

void TComBuffer::SetInputSize(int value) {
  if (Changed(inputSize_, EvenSize(value))) port_.ApplyBuffer();
}
void TComBuffer::SetOutputSize(int value) {
  if (Changed(outputSize_, EvenSize(value))) port_.ApplyBuffer();
}

// --- Time-out rules ---------------------------------------------------------

ComReadLimits ReadLimits(const TComTimeouts& timeouts, int count) {
  const std::uint64_t interval = Milliseconds(timeouts.ReadInterval());
  const std::uint64_t multiplier = Milliseconds(timeouts.ReadTotalMultiplier());
  const std::uint64_t constant = Milliseconds(timeouts.ReadTotalConstant());
  ComReadLimits limits;
  if (interval == kMaxMilliseconds && multiplier == 0 && constant == 0) {
    limits.immediate = true;
    return limits;
  }
  if (interval == kMaxMilliseconds && multiplier == kMaxMilliseconds && constant > 0 &&
      constant < kMaxMilliseconds) {
    limits.firstByte = true;
    limits.total = std::chrono::milliseconds(constant);
    return limits;
  }
  if (interval != 0) limits.interval = std::chrono::milliseconds(interval);
  if (multiplier != 0 || constant != 0) {
    limits.total =
        std::chrono::milliseconds(multiplier * static_cast<std::uint64_t>(count) + constant);
  }
  return limits;
}

std::optional<std::chrono::milliseconds> WriteLimit(const TComTimeouts& timeouts, int count) {
  const std::uint64_t multiplier = Milliseconds(timeouts.WriteTotalMultiplier());
  const std::uint64_t constant = Milliseconds(timeouts.WriteTotalConstant());
  if (multiplier == 0 && constant == 0) return std::nullopt;
  return std::chrono::milliseconds(multiplier * static_cast<std::uint64_t>(count) + constant);
}

}  // namespace lumaq
