// lumaq-cli export FORMAT IN.BDT OUT: Open of a BDT file, then the record
// Export with a file name in place of the dialog.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "CliJob.h"
#include "FormatArgument.h"
#include "PortOptions.h"
#include "formats/ExchangeFormats.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

const std::string kName = "export";

ExitCode RunExport(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const ExchangeFormat& format =
      ParseFormat(arguments[0], FormatsToExport(RecordKind::kCoordinateRecords), kName);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];
  if (!IsBdtExtension(in)) {
    throw UsageError("not a record file (.BDT or .bdt): " + in);
  }
  RefuseOutputIsInput(in, out);

  // Open: the first 15999 lines into the table; Export: the table compacted.
  CliJob open;
  WarnRecordsLeftOut(in, open.commands.OpenRecordFile(in));
  open.commands.TakeRecordsFromTable();
  open.commands.ExportToFile(format, ExchangeOptionsFor(format, ProgramFolder()), out);
  return ExitCode::kDone;
}

const CliRegistration registration{{kName,
                                    "FORMAT IN.BDT OUT",
                                    {},
                                    FormatHelp(FormatsToExport(RecordKind::kCoordinateRecords)),
                                    RunExport}};

}  // namespace
}  // namespace lumaq::cli
