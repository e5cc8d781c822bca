// The send steps of the transfer dialog: the instrument requests each record
// and echoes the sum of the frame it got.
#include <cstddef>
#include <string>
#include <string_view>

#include "comm/RecordFrames.h"
#include "comm/TransferSession.h"
#include "comm/TransferTimings.h"
#include "rawdata/String_func.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

// Why a record cannot be packed, naming the value as the job holds it rather
// than upper-cased for the frame.
std::string UnpackableReason(std::string_view line, const CoordinatePackError& error) {
  for (const std::string& value : {RecordLineN(line), RecordLineE(line), RecordLineZ(line)}) {
    try {
      FormatDigitField(value);
    } catch (const CoordinatePackError& original) {
      return original.what();
    }
  }
  return error.what();
}

}  // namespace

void TransferSession::Timer1Timer() {
  if (!timer1Enabled_) return;
  Purge(true, true);
  WriteByte(pollByte_);
}

void TransferSession::PollAgainAfterSilence() {
  if (!AwaitsRequestWithoutTimer1()) return;
  Purge(true, true);
  WriteByte(pollByte_);
}

void TransferSession::AnswerBadAndPollAgain() {
  Purge(true, true);
  WriteByte(kFrameBad);
  view_.Sleep(kRefusalPause);
  WriteByte(pollByte_);
  transferState_ = TransferState::AwaitRequest;
}

void TransferSession::RequestStep() {
  transferState_ = TransferState::Busy;
  SetTimer1(false);
  if (waitingCount_ != 1) {
    AnswerBadAndPollAgain();
    return;
  }
  view_.ProcessMessages();
  std::uint8_t request = 0;
  const bool got = ReadByte(request) == 1;
  if (!got || (request != kBinaryRequest && request != kTextRequest)) {
    port_.WriteForAnswer(pollByte_, kRequestSize);
    transferState_ = TransferState::AwaitRequest;
    return;
  }
  Purge(true, true);
  SendFrameStep(request == kBinaryRequest);
}

void TransferSession::SendFrameStep(bool binary) {
  closeAllowed_ = false;
  const auto index = static_cast<std::size_t>(sendIndex_);
  if (index >= job_.JobText.size()) {
    // Nothing left to send: no frame (the main window never sends an empty job).
    closeAllowed_ = true;
    transferState_ = TransferState::AwaitRequest;
    return;
  }
  const std::string& line = job_.JobText[index];
  std::string frame;
  try {
    frame = binary ? BinaryRecordFrame(line) : TextRecordFrame(line);
  } catch (const CoordinatePackError& error) {
    closeAllowed_ = true;
    StopUnsendable({sendIndex_ + 1, RecordLineName(line), UnpackableReason(line, error)});
    return;
  }
  sentChecksum_ = FrameChecksum(frame);
  port_.Write(frame.data(), static_cast<int>(frame.size()));
  closeAllowed_ = true;
  transferState_ = TransferState::AwaitEcho;
}

// A record the binary frame cannot carry ends the send before its frame is
// written: the records acknowledged so far stay so, the instrument gets
// nothing more, and the view reports which record it was.
void TransferSession::StopUnsendable(const UnsendableRecord& record) {
  End(TransferOutcome::kUnsendableRecord);
  view_.ShowUnsendableRecord(record);
  Close();
}

void TransferSession::EchoStep() {
  transferState_ = TransferState::Busy;
  if (waitingCount_ != 1) {
    AnswerBadAndPollAgain();
    return;
  }
  std::uint8_t echo = 0;
  const bool got = ReadByte(echo) == 1;
  if (!got || echo != sentChecksum_) {
    WriteByte(kFrameBad);
    view_.Sleep(kRefusalPause);
    view_.ProcessMessages();
    WriteByte(pollByte_);
    transferState_ = TransferState::AwaitRequest;
    return;
  }
  Purge(true, true);
  ++sendIndex_;
  const bool last = static_cast<std::size_t>(sendIndex_) >= job_.JobText.size();
  // The 0x00 and what follows it (the end byte, or the poll for the next
  // record) in one write: the same bytes on the wire, one call less a frame.
  const std::uint8_t answer[2] = {kFrameOk, last ? kEndByte : pollByte_};
  port_.Write(answer, 2);
  ++transferCount_;
  view_.SetLabel3(transferCount_);
  if (last) {
    view_.SetLabel1(kSendEndText);
    End(TransferOutcome::kSendComplete);
    view_.Sleep(kEndMessagePause);
    Close();
    return;
  }
  view_.ProcessMessages();
  transferState_ = TransferState::AwaitRequest;
}

}  // namespace lumaq
