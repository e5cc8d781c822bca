// lumaq-cli import FORMAT IN OUT.BDT: the Import command with a file name in
// place of the dialog, then the job text written as a BDT file.
#include <string>
#include <utility>

#include "CliCommand.h"
#include "CliFiles.h"
#include "CliJob.h"
#include "FormatArgument.h"
#include "PortOptions.h"
#include "formats/ExchangeFormats.h"
#include "formats/ImportFormats.h"
#include "records/InputLimits.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

const std::string kName = "import";

ExitCode RunImport(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const ExchangeFormat& format = ParseFormat(arguments[0], FormatsToImport(), kName);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];

  RefuseOutputIsInput(in, out);

  ImportedRecords imported;
  try {
    imported = ImportFile(format, in, ExchangeOptionsFor(format, ProgramFolder()));
  } catch (const RejectedImportFile&) {
    throw RejectedInput(std::string(kFormatMismatchMessage) + " \"" + in + "\"");
  } catch (const ImportError& error) {
    // A line the reader cannot take apart: the file is rejected as it is.
    throw RejectedInput(std::string(kImportErrorMessage) + " \"" + in + "\" " + error.what());
  } catch (const OversizedInput& error) {
    throw RejectedInput(std::string(kImportErrorMessage) + " " + error.what());
  } catch (const NotARegularFile& error) {
    throw RejectedInput(std::string(kImportErrorMessage) + " " + error.what());
  } catch (const FileError& error) {
    throw FileError(std::string(kImportErrorMessage) + " " + error.what());
  }
  WarnRecordsLeftOut(in, imported.leftOut);
  // The imported job text saved as a record file, as Save writes it.
  CliJob saved;
  saved.job.JobText = std::move(imported.records);
  saved.commands.WriteJob(out, false);
  return ExitCode::kDone;
}

const CliRegistration registration{
    {kName, "FORMAT IN OUT.BDT", {}, FormatHelp(FormatsToImport()), RunImport}};

}  // namespace
}  // namespace lumaq::cli
