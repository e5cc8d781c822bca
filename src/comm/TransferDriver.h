// Runs one transfer dialog's session for a front (TransferFace): the port's
// events become the session's steps, Timer1 ticks while the session has it
// enabled, the counter Label3 is shown at a steady pace, and a close request
// waits until no step runs, so a frame exchange that has begun is completed
// first. Every timed thing of a transfer is scheduled here against one clock,
// which also tells how long the line has been silent; the face only wakes the
// driver when asked.
//
// Every call comes from the thread that owns the port. A step may let the
// face's messages run; what they ask of the driver then (Cancel, Wake) waits
// for the step's end where it must.
#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <string>

#include "comm/ComPort.h"
#include "comm/TransferFace.h"
#include "comm/TransferPort.h"
#include "comm/TransferSession.h"
#include "comm/TransferView.h"
#include "comm/WireTime.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

namespace lumaq {

class TransferDriver final : private TransferView {
 public:
  using Clock = SerialClock;
  using ClockReader = std::function<Clock::time_point()>;

  // job, line, face and units must outlive the driver. counterPace is the
  // shortest time between two counters shown; now reads the clock (tests
  // move their own).
  TransferDriver(JobDocument& job, TransferPort& line, TransferFace& face,
                 TransferDirection direction, Clock::duration counterPace,
                 RawUnitState& units = ProcessRawUnitState(), ClockReader now = Clock::now);
  // Leaves the port it was attached to without handlers; close the port first.
  ~TransferDriver() override;
  TransferDriver(const TransferDriver&) = delete;
  TransferDriver& operator=(const TransferDriver&) = delete;

  // Before Start: once the line is open, the face is told to show its silence
  // hint whenever the instrument has said nothing for silence (kSilenceHintDelay
  // in the dialog), and to drop it when bytes come again. Off unless asked.
  void GiveSilenceHintAfter(Clock::duration silence) { silenceHintAfter_ = silence; }

  // From now on the port's OnRxChar, OnError and OnException come here.
  void Attach(TCustomComPort& port);

  TransferSession& Session() { return session_; }
  const TransferSession& Session() const { return session_; }

  // FormShow, after what the face shows first (the settings dialog): opens
  // the line and starts the direction; the counter shows 0 once it is open.
  void Start();
  // The port's events: bytes waiting, a line error, an error a handler raised.
  void RxChar(int count);
  void LineError(TComErrors errors);
  void HandlerFailed(std::exception_ptr error);
  // Cancel: Button1, Escape, the window's close, Ctrl-C.
  void Cancel();
  // A close request, as the session posts one: it runs once no step does.
  void RequestClose();
  // Runs what is due: a close request, Timer1, the poll again after a
  // silence (kLostPollSilence), a counter held back.
  void Wake();

  bool Closed() const { return closed_; }
  // A step runs: it may let the face's messages run, but takes no other step.
  bool InStep() const { return stepDepth_ > 0; }
  bool Timer1Enabled() const { return !timer1Due_.IsNever(); }
  // How long since the port last reported bytes (or since Start).
  Clock::duration SinceLastByte() const { return now_() - lastByte_; }
  // The errors of the last line error the port reported.
  TComErrors LineErrors() const { return lineErrors_; }

 private:
  // TransferView, for the session.
  void SetLabel1(const std::string& text) override;
  void SetLabel3(int count) override;
  void ProcessMessages() override;
  void Sleep(std::chrono::milliseconds duration) override;
  void SetTimer1Enabled(bool enabled) override;
  void PostCloseRequest() override;
  void CloseDialog() override;
  void ShowPortOpenFailure(const std::string& detail) override;
  void ShowUnsendableRecord(const UnsendableRecord& record) override;

  // Runs a handler of the session as one step; a closed dialog takes none.
  template <typename Handler>
  void Step(Handler handler);
  void RunClose();
  void TickTimer1();
  void PollAgainAfterSilence();
  // When a send awaiting a request without Timer1 polls again; never otherwise.
  Deadline PollAgainDue() const;
  void ShowCount();
  // When the silence hint is due; never while it shows or the line is closed.
  Deadline SilenceHintDue() const;
  void SetSilenceHintShown(bool shown);
  // Tells the face when the next thing is due, if that moment changed.
  void Reschedule();

  TransferFace& face_;
  const Clock::duration counterPace_;
  const ClockReader now_;
  TransferSession session_;
  TCustomComPort* port_ = nullptr;

  int stepDepth_ = 0;
  bool closePending_ = false;
  bool closed_ = false;
  Deadline timer1Due_;
  // The wake the face was asked for; none once it has come and not yet been
  // asked for again.
  std::optional<Deadline> wake_ = Deadline::Never();
  Clock::time_point lastByte_;
  // The last byte, or the last poll the silence made.
  Clock::time_point silentSince_;
  TComErrors lineErrors_;
  std::optional<Clock::duration> silenceHintAfter_;
  bool lineOpen_ = false;
  bool silenceHintShown_ = false;

  int count_ = 0;
  std::optional<int> countShown_;
  std::optional<Clock::time_point> countShownAt_;
  bool countBehind_ = false;  // count_ waits for the pace
};

}  // namespace lumaq
