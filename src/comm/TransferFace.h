// What a front shows of one transfer and how it lets the TransferDriver run:
// the Qt dialog TForm2 is one face, lumaq-cli's standard error and loop
// another. The driver keeps the protocol's timing and pace; a face only shows
// what it is told and wakes the driver when asked. Texts are UTF-8.
#pragma once

#include <chrono>
#include <exception>
#include <string>

#include "comm/TransferView.h"
#include "comm/WireTime.h"

namespace lumaq {

class TransferFace {
 public:
  virtual ~TransferFace() = default;

  // The status line Label1.
  virtual void SetLabel1(const std::string& text) = 0;
  // Shows the counter Label3 now; the driver calls it at a steady pace.
  virtual void SetLabel3(int count) = 0;
  // Lets pending user-interface messages run once: a click on Cancel (or
  // Ctrl-C) comes to TransferDriver::Cancel here.
  virtual void ProcessMessages() = 0;
  // Waits without responding; what the face shows is on the screen first.
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
  // TransferDriver::Wake is wanted at that moment (or never), in place of the
  // moment asked for before. Waking it sooner or more often does no harm.
  virtual void WakeAt(Deadline deadline) = 0;
  // The transfer is over: the face's loop ends.
  virtual void CloseDialog() = 0;
  // The warning box: caption kPortWarningCaption, kPortOpenFailedText as its
  // first line and the detail (device, reason, what to do) as its second.
  virtual void ShowPortOpenFailure(const std::string& detail) = 0;
  // A record that cannot be sent has stopped the send.
  virtual void ShowUnsendableRecord(const UnsendableRecord& record) = 0;
  // The line has been silent for the time the driver was given (shown), or
  // the instrument spoke again (not shown): the hint under the waiting text
  // (SilenceHintText). A face that gives no hint leaves it.
  virtual void ShowSilenceHint(bool shown) { static_cast<void>(shown); }
  // An error raised inside a step or a tick of Timer1. The transfer goes on
  // unless the face ends it (TransferDriver::RequestClose).
  virtual void ReportError(std::exception_ptr error) = 0;
};

}  // namespace lumaq
