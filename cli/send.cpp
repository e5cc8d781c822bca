// lumaq-cli send PORT [--baud RATE] IN.BDT: Open of IN.BDT, then Send (F10) of
// its records, each acknowledged by the instrument.
#include <string>

#include "CliCommand.h"
#include "PortOptions.h"
#include "TransferRun.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"

namespace lumaq::cli {
namespace {

const std::string kUsage =
    "usage: lumaq-cli send (--port COMn | --device PATH) [--baud RATE] IN.BDT";

class NoProgress : public ProgressSink {
 public:
  void SetProgressText(const std::string&) override {}
  void ProcessMessages() override {}
};

int RunSend(const Arguments& arguments) {
  Arguments rest = arguments;
  const PortOptions options = TakePortOptions(rest, kUsage);
  if (rest.size() != 1) throw UsageError(kUsage);
  const std::string& in = rest[0];
  if (!IsBdtExtension(in)) throw UsageError("not a record file (.BDT or .bdt): " + in);

  // Open: the first 15999 lines into the table; Send: the table compacted.
  JobText lines = ReadTextFile(in);
  CapLines(lines, kMaxRecords);
  NoProgress progress;
  RecordTable table;
  table.FillTableFromJobText(lines, progress);
  JobDocument job;
  job.JobText = table.BuildJobTextFromTable(progress);
  if (job.JobText.empty()) throw RejectedInput("\"" + in + "\": no records to send");

  return ReportTransfer(RunTransfer(job, TransferDirection::kSend, options));
}

const CliRegistration registration{
    {"send", "(--port COMn | --device PATH) [--baud RATE] IN.BDT", RunSend}};

}  // namespace
}  // namespace lumaq::cli
