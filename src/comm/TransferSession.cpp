// The dialog's life cycle and the receive steps; the send steps are in
// TransferSend.cpp.
#include "comm/TransferSession.h"

#include <cstddef>
#include <exception>
#include <string_view>

#include "comm/TransferTimings.h"

namespace lumaq {
namespace {

std::string DescribeSinkFailure(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace

TransferSession::TransferSession(JobDocument& job, TransferPort& port, TransferView& view,
                                 TransferDirection direction, RawUnitState& units)
    : job_(job),
      port_(port),
      view_(view),
      units_(units),
      direction_(direction),
      coordinateData_(job.CoordinateMode) {}

void TransferSession::FormShow() {
  try {
    port_.Open();
  } catch (const PortOpenError& error) {
    End(TransferOutcome::kPortNotOpened);
    view_.ShowPortOpenFailure(error.what());
    view_.PostCloseRequest();
    return;
  }
  Purge(true, true);
  closeAllowed_ = true;
  if (direction_ == TransferDirection::kSend) {
    sendIndex_ = 0;
    pollByte_ = kPollByte;
    SetTimer1(true);
    transferState_ = TransferState::AwaitRequest;
  } else {
    transferState_ = TransferState::AwaitHeader;
    StartReceivedFrames(job_);
  }
}

void TransferSession::ComPort1RxChar(int count) {
  waitingCount_ = count;
  switch (transferState_) {
    case TransferState::AwaitHeader:
      Guarded([this] { HeaderStep(); });
      break;
    case TransferState::AwaitRequest:
      Guarded([this] { RequestStep(); });
      break;
    case TransferState::AwaitEcho:
      Guarded([this] { EchoStep(); });
      break;
    case TransferState::Busy:
      // The bytes stay queued; the next event counts them again.
      break;
  }
}

void TransferSession::ComPort1Error(TComErrors) {
  view_.SetLabel1(kLineErrorText);
  End(TransferOutcome::kLineError);
  view_.Sleep(kEndMessagePause);
  Close();
}

void TransferSession::Button1Click() {
  if (outcome_ == TransferOutcome::kRunning) outcome_ = TransferOutcome::kCancelled;
  view_.PostCloseRequest();
}

bool TransferSession::FormCloseQuery() const {
  return !port_.Connected() || closeAllowed_;
}

void TransferSession::FormClose() {
  view_.ProcessMessages();
  job_.CoordinateMode = coordinateData_;
}

bool TransferSession::Close() {
  if (!FormCloseQuery()) return false;
  FormClose();
  view_.CloseDialog();
  return true;
}

void TransferSession::End(TransferOutcome outcome) {
  // An end of the protocol outweighs a Cancel that the step completed first.
  if (outcome_ == TransferOutcome::kRunning || outcome_ == TransferOutcome::kCancelled) {
    outcome_ = outcome;
  }
}

void TransferSession::SetTimer1(bool enabled) {
  if (timer1Enabled_ == enabled) return;
  timer1Enabled_ = enabled;
  view_.SetTimer1Enabled(enabled);
}

template <typename Step>
void TransferSession::Guarded(Step step) {
  try {
    step();
  } catch (...) {
    // A step cut short by an error (a line that went away) must not leave the
    // dialog unable to close or deaf to the next bytes.
    closeAllowed_ = true;
    const bool over =
        outcome_ != TransferOutcome::kRunning && outcome_ != TransferOutcome::kCancelled;
    if (transferState_ == TransferState::Busy && !over) {
      transferState_ = direction_ == TransferDirection::kSend ? TransferState::AwaitRequest
                                                              : TransferState::AwaitHeader;
    }
    throw;
  }
}

void TransferSession::WriteByte(std::uint8_t byte) {
  port_.Write(&byte, 1);
}

int TransferSession::ReadByte(std::uint8_t& byte) {
  return port_.Read(&byte, 1);
}

// --- Receive ------------------------------------------------------------------

void TransferSession::HeaderStep() {
  transferState_ = TransferState::Busy;
  if (waitingCount_ != 1) {
    // Several bytes at once are no header: dropped without an answer.
    Purge(true, true);
    transferState_ = TransferState::AwaitHeader;
    return;
  }
  view_.ProcessMessages();
  std::uint8_t byte = 0;
  const bool got = ReadByte(byte) == 1;
  if (got && byte == kEndByte) {
    view_.SetLabel1(kReceiveEndText);
    End(TransferOutcome::kEndReceived);
    Close();
    return;
  }
  const auto header = got ? FindFrameHeader(byte) : std::nullopt;
  if (!header) {
    Purge(true, true);
    transferState_ = TransferState::AwaitHeader;
    return;
  }
  coordinateDataBefore_ = coordinateData_;
  hasRawRecordsBefore_ = job_.HasRawRecords;
  coordinateData_ = CoordinateDataAfter(*header, job_);
  job_.HasRawRecords = HasRawRecordsAfter(*header, job_);
  try {
    port_.WriteForAnswer(kHeaderAck, static_cast<int>(header->bodySize) + 1);
  } catch (...) {
    // The answer never went out (a cable pulled): no frame follows it.
    RefuseFrame();
    throw;
  }
  FrameStep(*header);
}

void TransferSession::FrameStep(const FrameHeader& header) {
  closeAllowed_ = false;
  bool accepted = false;
  try {
    const int wanted = static_cast<int>(header.bodySize) + 1;
    if (port_.Read(frameBuffer_.data(), wanted) < wanted) {
      WriteByte(kFrameBad);
      RefuseFrame();
      transferState_ = TransferState::AwaitHeader;
      closeAllowed_ = true;
      return;
    }
    const std::string_view body(frameBuffer_.data(), header.bodySize);
    if (FrameChecksum(body) != static_cast<std::uint8_t>(frameBuffer_[header.bodySize])) {
      WriteByte(kFrameBad);
      RefuseFrame();
    } else {
      frameBuffer_[header.bodySize] = 0;
      if (!AcceptFrame(header)) {
        RefuseFrame();
        StopNotKept();
        WriteByte(kFrameBad);
        return;
      }
      accepted = true;
      WriteByte(kFrameOk);
    }
  } catch (...) {
    if (!accepted) RefuseFrame();
    throw;
  }
  closeAllowed_ = true;
  transferState_ = TransferState::AwaitHeader;
}

bool TransferSession::AcceptFrame(const FrameHeader& header) {
  const std::string_view body(frameBuffer_.data(), header.bodySize);
  const std::size_t lines = job_.JobText.size();
  const std::size_t rawBytes = job_.RawRecordBuffer.size();
  const std::size_t linesBeside = job_.LinesBesideRawRecords.size();
  const RawUnitState unitsBefore = units_;
  const auto putBack = [&] {
    job_.JobText.resize(lines);
    job_.RawRecordBuffer.resize(rawBytes);
    job_.LinesBesideRawRecords.resize(linesBeside);
    units_ = unitsBefore;
  };
  try {
    coordinateData_ = HandleAcceptedFrame(header.header, body, job_, units_);
  } catch (...) {
    putBack();
    throw;
  }
  try {
    if (sink_) sink_->FrameAccepted(header.header, body);
  } catch (...) {
    putBack();
    sinkFailure_ = DescribeSinkFailure(std::current_exception());
    return false;
  }
  ++transferCount_;
  view_.SetLabel3(transferCount_);
  return true;
}

void TransferSession::StopNotKept() {
  // No step runs until the close: a frame sent again is not taken in.
  transferState_ = TransferState::Busy;
  closeAllowed_ = true;
  view_.SetLabel1(kFrameNotKeptText);
  End(TransferOutcome::kFrameNotKept);
  view_.PostCloseRequest();
}

void TransferSession::RefuseFrame() {
  // The flags describe the last frame accepted, not a header whose frame
  // never arrived whole.
  coordinateData_ = coordinateDataBefore_;
  job_.HasRawRecords = hasRawRecordsBefore_;
}

}  // namespace lumaq
