#include "comm/ComPort.h"

#include <cassert>
#include <cerrno>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "comm/ComLineSettings.h"
#include "comm/ComThread.h"
#include "comm/LineWatch.h"
#include "comm/WireTime.h"

namespace lumaq {
namespace {

// The set OnError reports: a parity error only while parity is checked, a
// line that is gone as ceIO.
TComErrors ComErrorsOf(unsigned lineErrors, bool parityCheck, bool lineGone) {
  TComErrors errors;
  if (lineErrors & kLineFrame) errors.Include(ceFrame);
  if ((lineErrors & kLineParity) && parityCheck) errors.Include(ceRxParity);
  if (lineErrors & kLineOverrun) errors.Include(ceOverrun);
  if (lineErrors & kLineBreak) errors.Include(ceBreak);
  if (lineErrors & kLineRxOverflow) errors.Include(ceRxOver);
  if (lineGone) errors.Include(ceIO);
  return errors;
}

}  // namespace

// --- TCustomComPort -------------------------------------------------------------

TCustomComPort::TCustomComPort(Dispatcher& dispatcher, std::string name)
    : TCustomComPort(dispatcher, CreateSerialDevice(), std::move(name)) {}

TCustomComPort::TCustomComPort(Dispatcher& dispatcher, std::unique_ptr<SerialDevice> device,
                               std::string name)
    : dispatcher_(dispatcher), device_(std::move(device)), name_(std::move(name)) {}

TCustomComPort::~TCustomComPort() {
  assert(!InHandler() && "a port is destroyed inside its own event handler");
  Close();
  JoinRetiredThreads();
}

template <typename T>
void TCustomComPort::Change(T& field, T value) {
  if (field == value) return;
  field = value;
  ApplyDCB();
}

void TCustomComPort::SetPort(std::string_view name) {
  std::string normalized = NormalizePortName(name);
  if (normalized == port_) return;
  port_ = std::move(normalized);
  if (connected_) {
    Close();
    Open();
  }
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
  Change(baudRate_, value);
}
void TCustomComPort::SetCustomBaudRate(int value) {
  Change(customBaudRate_, value);
}
void TCustomComPort::SetDataBits(TDataBits value) {
  Change(dataBits_, value);
}
void TCustomComPort::SetStopBits(TStopBits value) {
  Change(stopBits_, value);
}
void TCustomComPort::SetEventChar(std::uint8_t value) {
  Change(eventChar_, value);
}
void TCustomComPort::SetDiscardNull(bool value) {
  Change(discardNull_, value);
}

std::string TCustomComPort::ResolvedDevicePath() const {
  return devicePath_.empty() ? portMap_.DevicePath(port_) : devicePath_;
}

void TCustomComPort::SetConnected(bool value) {
  if (value) {
    Open();
  } else {
    Close();
  }
}

bool TCustomComPort::InHandler() const {
  return handlerThread_.load() == std::this_thread::get_id();
}

void TCustomComPort::JoinRetiredThreads() {
  for (auto& thread : retiredThreads_) thread->Join();
  retiredThreads_.clear();
}

void TCustomComPort::Open() {
  if (connected_) return;
  if (!InHandler()) JoinRetiredThreads();
  DoBeforeOpen();
  CreateHandle();
  connected_ = true;
  try {
    queue_.Clear();
    SetupComPort();
    if (events_.Empty()) {
      // Nothing to report.
    } else if (ownerWatches_) {
      ownerWatch_ = std::make_unique<LineWatch>(*device_, queue_, events_);
    } else {
      thread_ =
          std::make_unique<TComThread>(*device_, queue_, dispatcher_, events_, syncMethod_,
                                       [this](bool rxChar, unsigned lineErrors, bool lineGone) {
                                         RunDispatch(rxChar, lineErrors, lineGone);
                                       });
    }
  } catch (...) {
    DestroyHandle();
    connected_ = false;
    throw;
  }
  DoAfterOpen();
}

void TCustomComPort::Close() {
  if (!connected_) return;
  DoBeforeClose();
  // What is still to be read goes; what is still to be sent (the 0x00 of a
  // frame already accepted) goes out first, unless the line does not take it
  // in time. Purging it would take it from the instrument, which would send
  // the frame again; on a pseudo-terminal even what already crossed over. A
  // line that is gone has nothing left to purge, and closing must not fail.
  try {
    queue_.Purge(true, false);
    if (!device_->Drain(Deadline::In(kCloseDrainLimit).When())) device_->Flush(false, true);
  } catch (const SerialError&) {
  }
  if (thread_) {
    thread_->RequestStop();
    if (InHandler()) {
      // The thread waits for the handler that is running now; it ends on its
      // own once the handler returns.
      retiredThreads_.push_back(std::move(thread_));
    } else {
      thread_->Join();
      thread_.reset();
    }
  }
  ownerWatch_.reset();
  DestroyHandle();
  connected_ = false;
  DoAfterClose();
}

void TCustomComPort::CreateHandle() {
  try {
    device_->Open(ResolvedDevicePath());
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kOpenFailed, error.Code(), error.Holder());
  }
}

void TCustomComPort::DestroyHandle() {
  device_->Close();
}

void TCustomComPort::SetupComPort() {
  ApplyBufferNow();
  ApplyDCBNow();
  // The read and write time-outs are kept by Read and Write themselves.
}

void TCustomComPort::ApplyDCB() {
  if (connected_ && updateCount_ == 0) ApplyDCBNow();
}

void TCustomComPort::ApplyTimeouts() {}

void TCustomComPort::ApplyBuffer() {
  if (connected_ && updateCount_ == 0) ApplyBufferNow();
}

void TCustomComPort::ApplyDCBNow() {
  try {
    device_->Configure(LineSettingsOf(*this));
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kSetStateFailed, error.Code());
  }
}

void TCustomComPort::ApplyBufferNow() {
  try {
    device_->SetQueueSizes(buffer_.InputSize(), buffer_.OutputSize());
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kSetupComFailed, error.Code());
  }
  queue_.SetCapacity(
      static_cast<std::size_t>(buffer_.InputSize() > 0 ? buffer_.InputSize() : 1024));
}

void TCustomComPort::BeginUpdate() {
  ++updateCount_;
}

void TCustomComPort::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && connected_) SetupComPort();
}

void TCustomComPort::ClearBuffer(bool input, bool output) {
  if (!connected_) throw EComPort(EComPort::kPurgeFailed, EBADF);
  try {
    queue_.Purge(input, output);
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kPurgeFailed, error.Code());
  }
}

int TCustomComPort::InputCount() {
  if (!connected_) throw EComPort(EComPort::kClearComFailed, EBADF);
  try {
    return static_cast<int>(queue_.Count());
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kClearComFailed, error.Code());
  }
}

bool TCustomComPort::WatchLine(SerialClock::time_point deadline) {
  if (!connected_ || !ownerWatch_) {
    std::this_thread::sleep_until(deadline);
    return false;
  }
  return Report(ownerWatch_->WaitOnce(deadline, false, kNeverStopped));
}

bool TCustomComPort::TakeLineEvents() {
  if (!connected_ || !ownerWatch_) return false;
  return Report(ownerWatch_->TakeReady());
}

bool TCustomComPort::Report(const LineWatch::Outcome& outcome) {
  if (!outcome.event) return false;
  // Handled at once: asking the system again what waits would cost a call
  // per event for what the next wait reports anyway.
  RunDispatch(outcome.event->rxChar, outcome.event->lineErrors, outcome.event->lineGone,
              outcome.event->allQueued);
  return true;
}

int TCustomComPort::WatchHandle() const {
  if (!connected_ || !ownerWatch_ || ownerWatch_->LineGone()) return -1;
  return device_->WatchHandle();
}

int TCustomComPort::WaitingCount() {
  return static_cast<int>(queue_.CountOrQueued());
}

int TCustomComPort::Write(const void* buffer, int count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) throw EComPort(EComPort::kInvalidAsync);
  if (!connected_) throw EComPort(EComPort::kWriteFailed, EBADF);
  if (count == 0) return 0;
  const Deadline deadline = Deadline::In(WriteLimit(timeouts_, count));
  try {
    return static_cast<int>(device_->Write(
        std::span(static_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(count)),
        deadline.When()));
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kWriteFailed, error.Code());
  }
}

int TCustomComPort::Read(void* buffer, int count) {
  if (count < 0 || (count > 0 && buffer == nullptr)) throw EComPort(EComPort::kInvalidAsync);
  if (!connected_) throw EComPort(EComPort::kReadFailed, EBADF);
  if (count == 0) return 0;
  const ComReadLimits limits = ReadLimits(timeouts_, count);
  const Deadline total = Deadline::In(limits.total);
  auto* out = static_cast<std::uint8_t*>(buffer);
  const auto wanted = static_cast<std::size_t>(count);

  // The event thread leaves the device to this read until it ends.
  const ComInputQueue::Reader reader(queue_);

  std::size_t got = 0;
  std::optional<SerialClock::time_point> lastArrival;
  try {
    for (;;) {
      const std::size_t before = got;
      got += queue_.Take(std::span(out + got, wanted - got));
      const auto now = SerialClock::now();
      if (got > before) lastArrival = now;
      if (got == wanted || limits.immediate || (limits.firstByte && got > 0)) break;
      Deadline deadline = total;
      if (limits.interval && lastArrival) {
        deadline = deadline.Earlier(Deadline::In(limits.interval, *lastArrival));
      }
      if (deadline.Passed(now)) break;
      device_->Wait(deadline.When(), kWaitReadable);
    }
  } catch (const SerialError& error) {
    throw EComPort(EComPort::kReadFailed, error.Code());
  }
  return static_cast<int>(got);
}

// --- Events ---------------------------------------------------------------------

void TCustomComPort::DoRxChar(int count) {
  if (OnRxChar) OnRxChar(*this, count);
}

void TCustomComPort::DoError(TComErrors errors) {
  if (OnError) OnError(*this, errors);
}

void TCustomComPort::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    const auto error = std::current_exception();
    try {
      if (OnException) {
        OnException(*this, error);
        return;
      }
      std::rethrow_exception(error);
    } catch (const std::exception& unhandled) {
      std::cerr << "lumaq: " << name_ << ": " << unhandled.what() << '\n';
    } catch (...) {
      std::cerr << "lumaq: " << name_ << ": unknown error in an event handler\n";
    }
  }
}

void TCustomComPort::RunDispatch(bool rxChar, unsigned lineErrors, bool lineGone, bool allQueued) {
  const auto previous = handlerThread_.exchange(std::this_thread::get_id());
  struct Restore {
    std::atomic<std::thread::id>& slot;
    std::thread::id previous;
    ~Restore() { slot = previous; }
  } restore{handlerThread_, previous};

  if (rxChar && connected_) {
    Guarded([this, allQueued] {
      const int count = allQueued ? static_cast<int>(queue_.Queued()) : WaitingCount();
      if (count > 0) DoRxChar(count);
    });
  }
  const TComErrors errors = ComErrorsOf(lineErrors, parity_.Check(), lineGone);
  if (!errors.Empty() && connected_) Guarded([this, errors] { DoError(errors); });
}

void ApplyComPort1Design(TCustomComPort& port) {
  port.BeginUpdate();
  port.SetPort("COM1");
  port.SetBaudRate(br1200);
  port.SetCustomBaudRate(9600);
  port.SetDataBits(dbEight);
  port.SetStopBits(sbOneStopBit);
  port.Parity().SetBits(prNone);
  TComFlowControl& flow = port.FlowControl();
  flow.SetOutCTSFlow(false);
  flow.SetOutDSRFlow(false);
  flow.SetControlDTR(dtrDisable);
  flow.SetControlRTS(rtsDisable);
  flow.SetXonXoffOut(false);
  flow.SetXonXoffIn(false);
  flow.SetDSRSensitivity(false);
  flow.SetTxContinueOnXoff(false);
  TComTimeouts& timeouts = port.Timeouts();
  timeouts.SetReadInterval(200);
  timeouts.SetReadTotalMultiplier(100);
  timeouts.SetReadTotalConstant(20000);
  timeouts.SetWriteTotalMultiplier(100);
  timeouts.SetWriteTotalConstant(1000);
  port.Buffer().SetInputSize(1024);
  port.Buffer().SetOutputSize(1024);
  port.SetEvents({evRxChar, evError});
  port.SetEventChar(0);
  port.SetDiscardNull(false);
  port.SetSyncMethod(smThreadSync);
  port.SetStoredProps({spBasic});
  port.EndUpdate();
}

}  // namespace lumaq
