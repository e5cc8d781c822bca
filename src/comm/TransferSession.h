// The transfer dialog TForm2 without its window: one transfer with the total
// station, receiving frames into the open job or sending the job's record
// lines, step by step as the port reports bytes. The Qt dialog, lumaq-cli and
// the tests run this same code; the dialog's face is a TransferView, its
// serial port ComPort1 a TransferPort.
//
// Every handler runs on the thread that owns the port, one at a time; a step
// reads with the port's time-outs, sleeps and lets pending messages run at
// fixed points, exactly in the order below.
//
// Receive (the instrument leads): header byte -> 0xBB -> body and checksum ->
// 0x00 (accepted) or 0xFF (refused, the instrument repeats), until 0xEE.
// Send: 0xAA (poll, every 100 ms until the instrument first reacts) -> 0xBB
// (binary) or 0xB7 (text) request -> the frame without its checksum -> the
// instrument echoes its sum -> 0x00 and the next poll, or 0xFF and the same
// record again; after the last record 0x00 and 0xEE.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>

#include "comm/AcceptedFrame.h"
#include "comm/ComSettings.h"
#include "comm/FrameHeaders.h"
#include "comm/TransferPort.h"
#include "comm/TransferView.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"
#include "records/TransferDirection.h"

namespace lumaq {

enum class TransferState { Busy, AwaitHeader, AwaitRequest, AwaitEcho };

// How the transfer ended, for the caller after the dialog closed.
enum class TransferOutcome {
  kRunning,           // not ended (yet)
  kPortNotOpened,     // the port could not be opened; nothing was transferred
  kEndReceived,       // receive: the instrument sent its end byte
  kSendComplete,      // send: the instrument acknowledged the last record
  kLineError,         // the port reported a line error
  kCancelled,         // Cancel (or Ctrl-C) closed the dialog
  kUnsendableRecord,  // send: a record could not be packed; the send stopped
  kFrameNotKept,  // receive: the sink could not keep a frame; it was refused, the receive stopped
};

class TransferSession {
 public:
  // Creation: the counters at 0, CoordinateData from the job's CoordinateMode.
  // job, port, view and units
  // must outlive the session.
  TransferSession(JobDocument& job, TransferPort& port, TransferView& view,
                  TransferDirection direction, RawUnitState& units = ProcessRawUnitState());
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  // Told of every frame the receive accepts (may be null).
  void SetAcceptedFrameSink(AcceptedFrameSink* sink) { sink_ = sink; }
  // kFrameNotKept: what the sink raised.
  const std::string& SinkFailure() const { return sinkFailure_; }

  // --- Handlers ------------------------------------------------------------
  // FormShow after the settings dialog: opens the port (or warns and posts a
  // close request), purges both queues, allows closing, and starts receiving
  // (AwaitHeader, RawRecordBuffer emptied) or sending (Timer1 on, AwaitRequest).
  void FormShow();
  // The port's OnRxChar: count bytes wait; runs the step of the state.
  void ComPort1RxChar(int count);
  // The port's OnError: the error message, a pause of kEndMessagePause, close.
  void ComPort1Error(TComErrors errors);
  // Every kTimer1Interval while Timer1 is enabled: purge both queues, write
  // PollByte.
  void Timer1Timer();
  // Send, once the instrument first answered (Timer1 off): a request is
  // awaited, and a poll lost on the line would leave both sides waiting.
  bool AwaitsRequestWithoutTimer1() const {
    return transferState_ == lumaq::TransferState::AwaitRequest && !timer1Enabled_;
  }
  // After kLostPollSilence without a byte while AwaitsRequestWithoutTimer1:
  // purge both queues, write PollByte again. Does nothing otherwise.
  void PollAgainAfterSilence();
  // Cancel: posts a close request; the running step is completed first.
  void Button1Click();
  // Closing is allowed while the port is closed, else only when CloseAllowed.
  bool FormCloseQuery() const;
  // Lets pending messages run once, then writes CoordinateData to the job's
  // CoordinateMode.
  void FormClose();
  // A close request: FormCloseQuery, then FormClose and the end of the dialog
  // (TransferView::CloseDialog). False when closing was refused.
  bool Close();

  // --- State ---------------------------------------------------------------
  // The dialog's fields, by their names.
  TransferDirection Direction() const { return direction_; }
  lumaq::TransferState TransferState() const { return transferState_; }
  bool CloseAllowed() const { return closeAllowed_; }
  bool CoordinateData() const { return coordinateData_; }
  int WaitingCount() const { return waitingCount_; }
  int TransferCount() const { return transferCount_; }
  int SendIndex() const { return sendIndex_; }
  std::uint8_t PollByte() const { return pollByte_; }
  bool Timer1Enabled() const { return timer1Enabled_; }
  TransferOutcome Outcome() const { return outcome_; }

 private:
  // Receive.
  void HeaderStep();
  void FrameStep(const FrameHeader& header);
  // False when the sink could not keep the frame: the job is as before it.
  bool AcceptFrame(const FrameHeader& header);
  void RefuseFrame();
  // A frame that could not be kept was answered 0xFF: the receive ends.
  void StopNotKept();
  // Send.
  void RequestStep();
  void SendFrameStep(bool binary);
  void EchoStep();
  void AnswerBadAndPollAgain();
  void StopUnsendable(const UnsendableRecord& record);

  void SetTimer1(bool enabled);
  void End(TransferOutcome outcome);
  // Runs a step; when it raises, closing is allowed again and the state is
  // the direction's waiting state, then the exception goes on.
  template <typename Step>
  void Guarded(Step step);
  void WriteByte(std::uint8_t byte);
  int ReadByte(std::uint8_t& byte);
  void Purge(bool input, bool output) { port_.ClearBuffer(input, output); }

  JobDocument& job_;
  TransferPort& port_;
  TransferView& view_;
  RawUnitState& units_;
  const TransferDirection direction_;
  AcceptedFrameSink* sink_ = nullptr;
  std::string sinkFailure_;
  TransferOutcome outcome_ = TransferOutcome::kRunning;
  bool timer1Enabled_ = false;

  lumaq::TransferState transferState_ = lumaq::TransferState::Busy;
  bool closeAllowed_ = false;
  bool coordinateData_;
  int waitingCount_ = 0;
  int transferCount_ = 0;
  int sendIndex_ = 0;
  std::uint8_t pollByte_ = kPollByte;
  // Body and checksum of the current frame; the byte after the body is set to
  // 0 once the checksum is verified.
  std::array<char, kLongestFrameBody + 1> frameBuffer_{};
  // Receive: the flags before the current header, put back when its frame is
  // refused, so that they always describe the last frame accepted.
  bool coordinateDataBefore_ = false;
  bool hasRawRecordsBefore_ = false;
  // Send: the sum of the frame last written, for the echo.
  std::uint8_t sentChecksum_ = 0;
};

}  // namespace lumaq
