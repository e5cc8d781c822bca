// lumaq-cli text IN.TSM [OUT]: the measurement text that opening IN shows,
// each line followed by CR LF, to OUT or to standard output.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "RawInput.h"
#include "records/TextLines.h"

namespace lumaq::cli {
namespace {

ExitCode RunText(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const std::string out = arguments.size() == 2 ? arguments[1] : "-";
  if (out != "-") RefuseOutputIsInput(arguments[0], out);
  CliJob open;
  OpenTsmFile(open, arguments[0]);
  WriteOutput(out, JoinLinesCrLf(open.job.JobText));
  return ExitCode::kDone;
}

const CliRegistration registration{
    {"text", "IN.TSM [OUT]", {}, "(OUT absent or - : standard output)", RunText}};

}  // namespace
}  // namespace lumaq::cli
