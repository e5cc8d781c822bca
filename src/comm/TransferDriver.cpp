#include "comm/TransferDriver.h"

#include <utility>

#include "comm/TransferTimings.h"

namespace lumaq {

TransferDriver::TransferDriver(JobDocument& job, TransferPort& line, TransferFace& face,
                               TransferDirection direction, Clock::duration counterPace,
                               RawUnitState& units, ClockReader now)
    : face_(face),
      counterPace_(counterPace),
      now_(std::move(now)),
      session_(job, line, *this, direction, units) {}

TransferDriver::~TransferDriver() {
  if (!port_) return;
  port_->OnRxChar = nullptr;
  port_->OnError = nullptr;
  port_->OnException = nullptr;
}

void TransferDriver::Attach(TCustomComPort& port) {
  port_ = &port;
  port.OnRxChar = [this](TCustomComPort&, int count) { RxChar(count); };
  port.OnError = [this](TCustomComPort&, TComErrors errors) { LineError(errors); };
  port.OnException = [this](TCustomComPort&, std::exception_ptr error) { HandlerFailed(error); };
}

template <typename Handler>
void TransferDriver::Step(Handler handler) {
  // The port stays open until its owner closes it after the dialog; its
  // events after the close are not the transfer's.
  if (closed_) return;
  struct Depth {
    TransferDriver& driver;
    explicit Depth(TransferDriver& d) : driver(d) { ++driver.stepDepth_; }
    ~Depth() {
      // A close requested inside the step is due now.
      if (--driver.stepDepth_ == 0) driver.Reschedule();
    }
  } depth(*this);
  handler();
}

void TransferDriver::Start() {
  lastByte_ = now_();
  silentSince_ = lastByte_;
  Step([this] { session_.FormShow(); });
  lineOpen_ = !closed_ && session_.Outcome() != TransferOutcome::kPortNotOpened;
  if (lineOpen_) ShowCount();
  Reschedule();
}

void TransferDriver::RxChar(int count) {
  lastByte_ = now_();
  silentSince_ = lastByte_;
  if (silenceHintShown_) SetSilenceHintShown(false);
  Step([this, count] { session_.ComPort1RxChar(count); });
}

void TransferDriver::LineError(TComErrors errors) {
  Step([this, errors] {
    lineErrors_ = errors;
    session_.ComPort1Error(errors);
  });
}

void TransferDriver::HandlerFailed(std::exception_ptr error) {
  face_.ReportError(std::move(error));
}

void TransferDriver::Cancel() {
  if (!closed_) session_.Button1Click();
}

void TransferDriver::RequestClose() {
  PostCloseRequest();
}

void TransferDriver::Wake() {
  wake_.reset();  // the face's wake has come: it hears of the next one
  // Inside a step (one that lets messages run) only the counter may move.
  if (stepDepth_ == 0 && !closed_) {
    if (closePending_) {
      RunClose();
    } else if (timer1Due_.Passed(now_())) {
      TickTimer1();
    } else if (PollAgainDue().Passed(now_())) {
      PollAgainAfterSilence();
    }
  }
  if (countBehind_ && now_() >= *countShownAt_ + counterPace_) ShowCount();
  // Only a label: it may show inside a step too.
  if (SilenceHintDue().Passed(now_())) SetSilenceHintShown(true);
  Reschedule();
}

Deadline TransferDriver::SilenceHintDue() const {
  if (!silenceHintAfter_ || !lineOpen_ || closed_ || silenceHintShown_) return Deadline::Never();
  return Deadline(lastByte_ + *silenceHintAfter_);
}

void TransferDriver::SetSilenceHintShown(bool shown) {
  silenceHintShown_ = shown;
  face_.ShowSilenceHint(shown);
}

void TransferDriver::RunClose() {
  closePending_ = false;
  try {
    Step([this] { session_.Close(); });
  } catch (...) {
    // A close that fails would fail again: the dialog ends all the same.
    face_.ReportError(std::current_exception());
    CloseDialog();
  }
}

void TransferDriver::TickTimer1() {
  timer1Due_ = Deadline::In(kTimer1Interval, now_());
  try {
    Step([this] { session_.Timer1Timer(); });
  } catch (...) {
    face_.ReportError(std::current_exception());
  }
}

Deadline TransferDriver::PollAgainDue() const {
  if (closed_ || !session_.AwaitsRequestWithoutTimer1()) return Deadline::Never();
  return Deadline(silentSince_ + kLostPollSilence);
}

void TransferDriver::PollAgainAfterSilence() {
  silentSince_ = now_();
  try {
    Step([this] { session_.PollAgainAfterSilence(); });
  } catch (...) {
    face_.ReportError(std::current_exception());
  }
}

void TransferDriver::ShowCount() {
  countShownAt_ = now_();
  countBehind_ = false;
  if (countShown_ == count_) return;
  countShown_ = count_;
  face_.SetLabel3(count_);
}

void TransferDriver::Reschedule() {
  Deadline next;
  if (!closed_) {
    if (closePending_ && stepDepth_ == 0) next = Deadline(now_());
    next = next.Earlier(timer1Due_).Earlier(PollAgainDue()).Earlier(SilenceHintDue());
    if (countBehind_) next = next.Earlier(Deadline(*countShownAt_ + counterPace_));
  }
  if (next == wake_) return;
  // Every byte moves the silence deadlines later: the face keeps the earlier
  // wake it was given, and the driver then asks for the later one. Rearming a
  // window's timer twice a frame would cost more than that one early wake.
  const bool earlierWakePending =
      wake_ && !next.IsNever() && !wake_->Passed(now_()) && wake_->Earlier(next) == *wake_;
  if (earlierWakePending) return;
  wake_ = next;
  face_.WakeAt(next);
}

// --- TransferView -------------------------------------------------------------

void TransferDriver::SetLabel1(const std::string& text) {
  face_.SetLabel1(text);
}

void TransferDriver::SetLabel3(int count) {
  count_ = count;
  if (!countShownAt_ || now_() >= *countShownAt_ + counterPace_) {
    ShowCount();
    return;
  }
  countBehind_ = true;
  Reschedule();
}

void TransferDriver::ProcessMessages() {
  face_.ProcessMessages();
}

void TransferDriver::Sleep(std::chrono::milliseconds duration) {
  // The count the pace held back is shown before the face stops responding.
  if (countBehind_) ShowCount();
  face_.Sleep(duration);
}

void TransferDriver::SetTimer1Enabled(bool enabled) {
  timer1Due_ = enabled ? Deadline::In(kTimer1Interval, now_()) : Deadline::Never();
  Reschedule();
}

void TransferDriver::PostCloseRequest() {
  closePending_ = true;
  Reschedule();
}

void TransferDriver::CloseDialog() {
  if (closed_) return;
  closed_ = true;
  timer1Due_ = Deadline::Never();
  if (countBehind_) ShowCount();
  Reschedule();
  face_.CloseDialog();
}

void TransferDriver::ShowPortOpenFailure(const std::string& detail) {
  face_.ShowPortOpenFailure(detail);
}

void TransferDriver::ShowUnsendableRecord(const UnsendableRecord& record) {
  face_.ShowUnsendableRecord(record);
}

}  // namespace lumaq
