// lumaq-cli send PORT [--baud RATE] IN.BDT: Open of IN.BDT, then Send (F10) of
// its records, each acknowledged by the instrument. Names and codes that the
// instrument may receive as "#" are warned about first.
#include <iostream>
#include <string>

#include "CliCommand.h"
#include "PortOptions.h"
#include "SendableRecords.h"
#include "TransferRun.h"
#include "app/ExchangeCommands.h"
#include "rawdata/AlteredRecords.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"

namespace lumaq::cli {
namespace {

ExitCode RunSend(const CliCall& call) {
  const PortOptions options = PortOptionsOf(call);
  const std::string& in = call.Positional()[0];
  if (!IsBdtExtension(in)) throw UsageError("not a record file (.BDT or .bdt): " + in);

  JobDocument job;
  job.JobText = SendableRecords(in);
  // The instrument chooses binary or text frames only once the send runs.
  if (const AlteredRecords altered = FindAlteredRecords(job.JobText); altered.count > 0) {
    std::cerr << "lumaq-cli: " << AlteredRecordsText(altered, SameText) << '\n';
  }

  return ReportTransfer(RunTransfer(job, TransferDirection::kSend, options));
}

const CliRegistration registration{{"send", "IN.BDT", PortCliOptions(), "", RunSend}};

}  // namespace
}  // namespace lumaq::cli
