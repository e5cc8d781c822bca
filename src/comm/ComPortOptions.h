// The port's option groups, each a value object with a back reference to its
// port: a setter stores a value that differs and asks the port to re-apply
// its group (parity and flow control the line settings, queue sizes the
// queues; the time-outs need nothing applied). And the rules by which Read
// and Write keep their time-outs at every call.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "comm/ComSettings.h"

namespace lumaq {

class TCustomComPort;

class TComParity {
 public:
  explicit TComParity(TCustomComPort& port) : port_(port) {}
  TComParity(const TComParity&) = delete;
  TComParity& operator=(const TComParity&) = delete;

  TParityBits Bits() const { return bits_; }
  bool Check() const { return check_; }
  bool Replace() const { return replace_; }
  std::uint8_t ReplaceChar() const { return replaceChar_; }
  void SetBits(TParityBits value);
  void SetCheck(bool value);
  void SetReplace(bool value);
  void SetReplaceChar(std::uint8_t value);

 private:
  TCustomComPort& port_;
  TParityBits bits_ = prNone;
  bool check_ = false;
  bool replace_ = false;
  std::uint8_t replaceChar_ = 0;
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort& port) : port_(port) {}
  TComFlowControl(const TComFlowControl&) = delete;
  TComFlowControl& operator=(const TComFlowControl&) = delete;

  bool OutCTSFlow() const { return outCTSFlow_; }
  bool OutDSRFlow() const { return outDSRFlow_; }
  TDTRFlowControl ControlDTR() const { return controlDTR_; }
  TRTSFlowControl ControlRTS() const { return controlRTS_; }
  bool XonXoffOut() const { return xonXoffOut_; }
  bool XonXoffIn() const { return xonXoffIn_; }
  bool DSRSensitivity() const { return dsrSensitivity_; }
  bool TxContinueOnXoff() const { return txContinueOnXoff_; }
  std::uint8_t XonChar() const { return xonChar_; }
  std::uint8_t XoffChar() const { return xoffChar_; }
  void SetOutCTSFlow(bool value);
  void SetOutDSRFlow(bool value);
  void SetControlDTR(TDTRFlowControl value);
  void SetControlRTS(TRTSFlowControl value);
  void SetXonXoffOut(bool value);
  void SetXonXoffIn(bool value);
  void SetDSRSensitivity(bool value);
  void SetTxContinueOnXoff(bool value);
  void SetXonChar(std::uint8_t value);
  void SetXoffChar(std::uint8_t value);

  // The summary kept in the settings file. Setting fcHardware, fcSoftware or
  // fcNone sets ControlRTS, OutCTSFlow and both XON/XOFF members; fcCustom
  // leaves them. ControlDTR, OutDSRFlow and the rest are never touched.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl value);

 private:
  TCustomComPort& port_;
  bool outCTSFlow_ = false;
  bool outDSRFlow_ = false;
  TDTRFlowControl controlDTR_ = dtrDisable;
  TRTSFlowControl controlRTS_ = rtsDisable;
  bool xonXoffOut_ = false;
  bool xonXoffIn_ = false;
  bool dsrSensitivity_ = false;
  bool txContinueOnXoff_ = false;
  std::uint8_t xonChar_ = 0x11;
  std::uint8_t xoffChar_ = 0x13;
};

// Milliseconds as 32-bit values; -1 stands for the largest one. A read with
// ReadInterval -1 and both read totals 0 returns at once with what is queued.
class TComTimeouts {
 public:
  explicit TComTimeouts(TCustomComPort& port) : port_(port) {}
  TComTimeouts(const TComTimeouts&) = delete;
  TComTimeouts& operator=(const TComTimeouts&) = delete;

  std::int32_t ReadInterval() const { return readInterval_; }
  std::int32_t ReadTotalMultiplier() const { return readTotalMultiplier_; }
  std::int32_t ReadTotalConstant() const { return readTotalConstant_; }
  std::int32_t WriteTotalMultiplier() const { return writeTotalMultiplier_; }
  std::int32_t WriteTotalConstant() const { return writeTotalConstant_; }
  void SetReadInterval(std::int32_t value);
  void SetReadTotalMultiplier(std::int32_t value);
  void SetReadTotalConstant(std::int32_t value);
  void SetWriteTotalMultiplier(std::int32_t value);
  void SetWriteTotalConstant(std::int32_t value);

 private:
  TCustomComPort& port_;
  std::int32_t readInterval_ = -1;
  std::int32_t readTotalMultiplier_ = 0;
  std::int32_t readTotalConstant_ = 0;
  std::int32_t writeTotalMultiplier_ = 100;
  std::int32_t writeTotalConstant_ = 1000;
};

// Queue sizes in bytes; an odd size is lowered by one. The input size bounds
// how many received bytes the port holds for the program; the kernel's own
// queue comes on top of it.
class TComBuffer {
 public:
  explicit TComBuffer(TCustomComPort& port) : port_(port) {}
  TComBuffer(const TComBuffer&) = delete;
  TComBuffer& operator=(const TComBuffer&) = delete;

  int InputSize() const { return inputSize_; }
  int OutputSize() const { return outputSize_; }
  void SetInputSize(int value);
  void SetOutputSize(int value);

 private:
  TCustomComPort& port_;
  int inputSize_ = 1024;
  int outputSize_ = 1024;
};

// The limits of one Read of count bytes under the read time-outs (values as
// unsigned 32-bit milliseconds, -1 the largest). Absent limits do not apply.
struct ComReadLimits {
  bool immediate = false;                             // return at once with what is queued
  bool firstByte = false;                             // return as soon as any byte is there
  std::optional<std::chrono::milliseconds> interval;  // most time between two bytes
  std::optional<std::chrono::milliseconds> total;     // most time since the call
};
ComReadLimits ReadLimits(const TComTimeouts& timeouts, int count);
// The most time a Write of count bytes waits; absent when unlimited.
std::optional<std::chrono::milliseconds> WriteLimit(const TComTimeouts& timeouts, int count);

}  // namespace lumaq
