// One transfer with the instrument from lumaq-cli: the transfer dialog's
// protocol on ComPort1, run by the TransferDriver with a plain loop as its
// dispatcher and standard error as its face. The loop runs the port's events,
// wakes the driver when it is due (Timer1, the poll after a silence, the
// counter's pace, a close), and turns Ctrl-C (SIGINT) and SIGTERM into
// Cancel, so the transfer stops cleanly after the running step.
#pragma once

#include <optional>
#include <string>

#include "PortOptions.h"
#include "comm/TransferSession.h"
#include "records/JobDocument.h"

namespace lumaq::cli {

struct TransferResult {
  TransferOutcome outcome = TransferOutcome::kRunning;
  std::string portFailure;                     // kPortNotOpened: device and reason
  std::optional<UnsendableRecord> unsendable;  // kUnsendableRecord
  std::string lineErrors;                      // kLineError: the errors the port reported
  std::string error;                           // an error that ended the transfer inside a step
  std::string sinkFailure;                     // kFrameNotKept: why the frame could not be kept
  int frames = 0;                              // frames accepted or acknowledged
};

// Runs the transfer in direction on the job until the dialog would close. The
// counter "已传输记录数 N" grows on one line of standard error while it runs.
// sink, if any, hears of every accepted frame.
TransferResult RunTransfer(JobDocument& job, TransferDirection direction,
                           const PortOptions& options, AcceptedFrameSink* sink = nullptr);

// Reports how a transfer ended on standard error (one line; two for a port
// that could not be opened, the warning and the detail of
// DescribePortOpenFailure) and gives the exit status: 0 done, 1 a
// port that could not be opened, a line error or another failure, 2 an
// unsendable record, 130 Ctrl-C or SIGTERM.
ExitCode ReportTransfer(const TransferResult& result);

// Saves a received job to out as Save As after the receive would
// (JobCommands::WriteReceivedJob), replacing out as a whole, and says on
// standard error where the lines beside raw records went, which received
// lines are no record, and when opening out will keep fewer records than
// were saved. Raises FileError. receive and recover save through here.
void SaveReceivedJob(JobDocument& job, const std::string& out);

}  // namespace lumaq::cli
