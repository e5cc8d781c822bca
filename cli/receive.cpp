// lumaq-cli receive PORT [--baud RATE] OUT: Receive (F9) with a file name in
// place of Save As. The instrument's frames go into a new job until its end
// byte; the job is then saved to OUT. After a line error or Ctrl-C what was
// accepted is saved too.
#include <iostream>
#include <string>

#include "CliCommand.h"
#include "PortOptions.h"
#include "TransferRun.h"
#include "comm/ReceivedJobFile.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"
#include "records/ReplacingFile.h"

namespace lumaq::cli {
namespace {

const std::string kUsage =
    "usage: lumaq-cli receive (--port COMn | --device PATH) [--baud RATE] OUT";

int RunReceive(const Arguments& arguments) {
  Arguments rest = arguments;
  const PortOptions options = TakePortOptions(rest, kUsage);
  if (rest.size() != 1) throw UsageError(kUsage);
  const std::string& out = rest[0];
  // A folder that cannot take OUT is found before anything is received.
  { const ReplacingFile probe(out); }

  JobDocument job;
  const TransferResult result = RunTransfer(job, TransferDirection::kReceive, options);
  if (result.outcome != TransferOutcome::kPortNotOpened) {
    WriteFileAtomically(out, ReceivedJobBytes(job, out));
    if (ExceedsRecordTable(job)) {
      std::cerr << "lumaq-cli: " << job.JobText.size() << " records received and saved; the record"
                << " table, and opening \"" << out << "\", keep the first " << kMaxRecords << '\n';
    }
  }
  return ReportTransfer(result);
}

const CliRegistration registration{
    {"receive",
     "(--port COMn | --device PATH) [--baud RATE] OUT   (until the instrument's end byte;"
     " Ctrl-C stops and saves)",
     RunReceive}};

}  // namespace
}  // namespace lumaq::cli
