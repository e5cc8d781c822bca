// lumaq-cli export FORMAT IN.BDT OUT: Open of a BDT file, then the record
// Export with a file name in place of the dialog.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "FormatArgument.h"
#include "PortOptions.h"
#include "app/FileConversions.h"
#include "formats/ExchangeFormats.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

const std::string kName = "export";
const std::string kUsage =
    FormatUsage("FORMAT IN.BDT OUT", FormatsToExport(RecordKind::kCoordinateRecords));

int RunExport(const Arguments& arguments) {
  if (PrintHelpWhenAsked(arguments, kName, kUsage)) return 0;
  if (arguments.size() != 3) throw UsageError("usage: lumaq-cli export FORMAT IN.BDT OUT");
  const ExchangeFormat& format =
      ParseFormat(arguments[0], FormatsToExport(RecordKind::kCoordinateRecords), kName);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];
  if (!IsBdtExtension(in)) {
    throw UsageError("not a record file (.BDT or .bdt): " + in);
  }
  RefuseOutputIsInput(in, out);

  // Open: the first 15999 lines into the table; Export: the table compacted,
  // record by record.
  const RecordFileExport open(in);
  WarnRecordsLeftOut(in, open.LinesLeftOut());
  open.WriteTo(format, ExchangeOptionsFor(format, ProgramFolder()), out);
  return 0;
}

const CliRegistration registration{{kName, kUsage, RunExport}};

}  // namespace
}  // namespace lumaq::cli
