// lumaq-cli polar IN.TSM OUT: opening IN, then the polar-coordinate export of
// its raw records to OUT, each line followed by CR LF.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "CliJob.h"
#include "PortOptions.h"
#include "RawInput.h"
#include "formats/ExchangeFormats.h"

namespace lumaq::cli {
namespace {

// The export of raw records, which the command is named after.
const ExchangeFormat& RawRecordExport() {
  return *FormatsToExport(RecordKind::kRawRecords).front();
}

const std::string kName(RawRecordExport().name);

ExitCode RunPolar(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const std::string& out = arguments[1];
  if (out != "-") RefuseOutputIsInput(arguments[0], out);
  CliJob open;
  OpenTsmFile(open, arguments[0]);
  // The units are those the records of IN left, as after Open in the program.
  // The lines go out as they are made: there can be far more of them than
  // records.
  const ExchangeFormat& format = RawRecordExport();
  const ExchangeOptions options = ExchangeOptionsFor(format, ProgramFolder());
  if (out != "-") {
    open.commands.ExportToFile(format, options, out);
    return ExitCode::kDone;
  }
  open.commands.Export(format, options,
                       [](std::string_view bytes) { WriteStandardOutput(bytes, false); });
  WriteStandardOutput("");
  return ExitCode::kDone;
}

const CliRegistration registration{{kName, "IN.TSM OUT", {}, "", RunPolar}};

}  // namespace
}  // namespace lumaq::cli
