// lumaq-cli polar IN.TSM OUT: opening IN, then the polar-coordinate export of
// its raw records to OUT, each line followed by CR LF.
#include <string>

#include "CliCommand.h"
#include "RawInput.h"
#include "rawdata/PolarLines.h"
#include "records/TextLines.h"

namespace lumaq::cli {
namespace {

int RunPolar(const Arguments& arguments) {
  if (arguments.size() != 2) throw UsageError("usage: lumaq-cli polar IN.TSM OUT");
  const TsmContent content = OpenTsmFile(arguments[0]);
  // The units are those the records of IN left, as after Open in the program.
  JobText lines;
  BuildPolarLines(ProcessRawUnitState(), content.RawRecordBuffer, lines);
  WriteOutput(arguments[1], JoinLinesCrLf(lines));
  return 0;
}

const CliRegistration registration{{"polar", "IN.TSM OUT", RunPolar}};

}  // namespace
}  // namespace lumaq::cli
