// lumaq-cli send PORT [--baud RATE] IN.BDT: Open of IN.BDT, then Send (F10) of
// its records, each acknowledged by the instrument. Open keeps the first
// 15999 lines, as the record table holds them: more are said and not sent.
// Names and codes that the instrument may receive as "#" are warned about
// first.
#include <iostream>
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "CliJob.h"
#include "PortOptions.h"
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

  CliJob open;
  const std::size_t leftOut = open.commands.OpenRecordFile(in);
  if (!open.commands.PrepareSend()) throw RejectedInput("\"" + in + "\": no records to send");
  WarnRecordsLeftOut(in, leftOut);
  if (leftOut > 0) {
    std::cerr << "lumaq-cli: the " << open.job.JobText.size() << " records of its first "
              << kMaxRecords << " lines are sent, the other " << leftOut << " lines are not\n";
  }
  // The instrument chooses binary or text frames only once the send runs.
  if (const AlteredRecords altered = FindAlteredRecords(open.job.JobText); altered.count > 0) {
    std::cerr << "lumaq-cli: " << AlteredRecordsText(altered, SameText) << '\n';
  }

  TransferResult result = RunTransfer(open.job, TransferDirection::kSend, options);
  // A record is named by its line in the file, which is its row in the table.
  if (result.unsendable) {
    result.unsendable->lineNumber = open.table.RowOfRecord(result.unsendable->lineNumber);
  }
  return ReportTransfer(result);
}

const CliRegistration registration{{"send", "IN.BDT", PortCliOptions(), "", RunSend}};

}  // namespace
}  // namespace lumaq::cli
