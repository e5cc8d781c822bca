// lumaq-cli import FORMAT IN OUT.BDT: the Import command with a file name in
// place of the dialog, then the job text written as a BDT file, record by
// record (app/FileConversions.h).
#include <optional>
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "FormatArgument.h"
#include "PortOptions.h"
#include "app/FileConversions.h"
#include "formats/ExchangeFormats.h"
#include "formats/ImportFormats.h"
#include "records/InputLimits.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

const std::string kName = "import";
const std::string kUsage = FormatUsage("FORMAT IN OUT.BDT", FormatsToImport());

int RunImport(const Arguments& arguments) {
  if (PrintHelpWhenAsked(arguments, kName, kUsage)) return 0;
  if (arguments.size() != 3) throw UsageError("usage: lumaq-cli import FORMAT IN OUT.BDT");
  const ExchangeFormat& format = ParseFormat(arguments[0], FormatsToImport(), kName);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];

  RefuseOutputIsInput(in, out);

  // The records go out as they are read; the file is replaced once all are.
  std::optional<RecordFileImport> import;
  try {
    import.emplace(format, in, ExchangeOptionsFor(format, ProgramFolder()), out);
  } catch (const RejectedImportFile&) {
    throw RejectedInput(std::string(kFormatMismatchMessage) + " \"" + in + "\"");
  } catch (const ImportError& error) {
    // A line the reader cannot take apart: the file is rejected as it is.
    throw RejectedInput(std::string(kImportErrorMessage) + " \"" + in + "\" " + error.what());
  } catch (const OversizedInput& error) {
    throw RejectedInput(std::string(kImportErrorMessage) + " " + error.what());
  } catch (const FileError& error) {
    throw FileError(std::string(kImportErrorMessage) + " " + error.what());
  }
  WarnRecordsLeftOut(in, import->RecordsLeftOut());
  import->Commit();
  return 0;
}

const CliRegistration registration{{kName, kUsage, RunImport}};

}  // namespace
}  // namespace lumaq::cli
