// lumaq-cli polar IN.TSM OUT: opening IN, then the polar-coordinate export of
// its raw records to OUT, each line followed by CR LF.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "RawInput.h"
#include "rawdata/PolarLines.h"

namespace lumaq::cli {
namespace {

ExitCode RunPolar(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const std::string& out = arguments[1];
  if (out != "-") RefuseOutputIsInput(arguments[0], out);
  const TsmContent content = OpenTsmFile(arguments[0]);
  // The units are those the records of IN left, as after Open in the program.
  // The lines go out as they are made: there can be far more of them than
  // records.
  if (out != "-") {
    WritePolarFile(ProcessRawUnitState(), content.RawRecordBuffer, out);
    return ExitCode::kDone;
  }
  WritePolarLines(ProcessRawUnitState(), content.RawRecordBuffer, [](std::string_view line) {
    WriteStandardOutput(line, false);
    WriteStandardOutput("\r\n", false);
  });
  WriteStandardOutput("");
  return ExitCode::kDone;
}

const CliRegistration registration{{"polar", "IN.TSM OUT", {}, "", RunPolar}};

}  // namespace
}  // namespace lumaq::cli
