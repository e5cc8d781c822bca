// lumaq-cli instrument PORT [--baud RATE] ACTION ...: the total station's side
// of a transfer, for tests, benchmarks, training and for checking a cable and
// its settings without an instrument. Exit 0 when every frame was accepted
// (or every record received) and the end byte went out (or came in), 1
// otherwise, 2 for a wrong call or a file it cannot send.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "Instrument.h"
#include "records/JobFiles.h"
#include "records/TextLines.h"

namespace lumaq::cli {
namespace {

[[noreturn]] void LineGone(const SerialError& error, const std::string& saved) {
  std::string message = "lumaq-cli instrument: ";
  message += error.HungUp() ? "the line was closed (" + std::string(error.what()) + ")"
                            : "line error: " + std::string(error.what());
  throw std::runtime_error(message + saved);
}

ExitCode Send(const InstrumentOptions& options, const InstrumentLog& log) {
  // A file that cannot be sent is refused before the line is touched.
  const std::vector<Frame> frames = FramesToSend(options);
  InstrumentLine line = InstrumentLine::Open(options, std::cout);
  try {
    return SendFrames(line, frames, options, log) ? ExitCode::kDone : ExitCode::kFailed;
  } catch (const SerialError& error) {
    LineGone(error, "");
  }
}

// What came is saved, also when the line failed; only an existing OUT is
// left alone when nothing came at all.
ExitCode Receive(const InstrumentOptions& options, const InstrumentLog& log) {
  InstrumentLine line = InstrumentLine::Open(options, std::cout);
  JobText records;
  try {
    const bool complete = ReceiveRecords(line, options, log, records);
    WriteFileAtomically(options.file, JoinLinesCrLf(records));
    return complete ? ExitCode::kDone : ExitCode::kFailed;
  } catch (const SerialError& error) {
    if (records.empty()) LineGone(error, "; no record came");
    WriteFileAtomically(options.file, JoinLinesCrLf(records));
    LineGone(error, "; the " + std::to_string(records.size()) + " records received are saved in " +
                        options.file);
  }
}

ExitCode RunInstrument(const CliCall& call) {
  const InstrumentOptions options = ParseInstrumentOptions(call);
  const InstrumentLog log(options.verbose);
  return options.action == InstrumentAction::kReceive ? Receive(options, log) : Send(options, log);
}

const CliRegistration registration{
    {"instrument", "ACTION ...", InstrumentCliOptions(), kInstrumentActions, RunInstrument}};

}  // namespace
}  // namespace lumaq::cli
