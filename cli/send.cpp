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

const std::string kUsage =
    "usage: lumaq-cli send (--port COMn | --device PATH) [--baud RATE] IN.BDT";

int RunSend(const Arguments& arguments) {
  Arguments rest = arguments;
  const PortOptions options = TakePortOptions(rest, kUsage);
  if (rest.size() != 1) throw UsageError(kUsage);
  const std::string& in = rest[0];
  if (!IsBdtExtension(in)) throw UsageError("not a record file (.BDT or .bdt): " + in);

  JobDocument job;
  job.JobText = SendableRecords(in);

  return ReportTransfer(RunTransfer(job, TransferDirection::kSend, options));
}

const CliRegistration registration{
    {"send", "(--port COMn | --device PATH) [--baud RATE] IN.BDT", RunSend}};

}  // namespace
}  // namespace lumaq::cli
