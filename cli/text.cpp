// lumaq-cli text IN.TSM [OUT]: the measurement text that opening IN shows,
// each line followed by CR LF, to OUT or to standard output.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "RawInput.h"
#include "records/TextLines.h"

namespace lumaq::cli {
namespace {

int RunText(const Arguments& arguments) {
  if (arguments.empty() || arguments.size() > 2) {
    throw UsageError("usage: lumaq-cli text IN.TSM [OUT]");
  }
  const std::string out = arguments.size() == 2 ? arguments[1] : "-";
  if (out != "-") RefuseOutputIsInput(arguments[0], out);
  CliJob open;
  OpenTsmFile(open, arguments[0]);
  WriteOutput(out, JoinLinesCrLf(open.job.JobText));
  return 0;
}

const CliRegistration registration{
    {"text", "IN.TSM [OUT]   (OUT absent or - : standard output)", RunText}};

}  // namespace
}  // namespace lumaq::cli
