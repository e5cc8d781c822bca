// lumaq-cli send PORT [--baud RATE] IN.BDT: Open of IN.BDT, then Send (F10) of
// its records, each acknowledged by the instrument.
#include <string>

#include "CliCommand.h"
#include "PortOptions.h"
#include "SendableRecords.h"
#include "TransferRun.h"
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

  return ReportTransfer(RunTransfer(job, TransferDirection::kSend, options));
}

const CliRegistration registration{{"send", "IN.BDT", PortCliOptions(), "", RunSend}};

}  // namespace
}  // namespace lumaq::cli
