// lumaq-cli import FORMAT IN OUT.BDT: the Import command with a file name in
// place of the dialog, then the job text written as a BDT file.
#include <array>
#include <string>
#include <string_view>

#include "CliCommand.h"
#include "CliFiles.h"
#include "formats/ImportFormats.h"
#include "records/InputLimits.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

// In the order of the import dialog's file types.
constexpr std::array<std::string_view, kImportFormatCount> kImportNames{"gts", "scs2002", "sv300",
                                                                        "cass", "csv"};

ImportFormat ParseImportFormat(const std::string& name) {
  for (std::size_t i = 0; i < kImportNames.size(); ++i) {
    if (name == kImportNames[i]) return ImportFormatOfIndex(static_cast<int>(i) + 1);
  }
  throw UsageError("unknown import format: " + name + " (gts, scs2002, sv300, cass or csv)");
}

ExitCode RunImport(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const ImportFormat format = ParseImportFormat(arguments[0]);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];

  RefuseOutputIsInput(in, out);

  ImportedRecords imported;
  try {
    imported = ImportFile(format, in);
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
  WarnRecordsLeftOut(in, imported.leftOut);
  WriteFileAtomically(out, JoinLinesCrLf(imported.records));
  return ExitCode::kDone;
}

const CliRegistration registration{
    {"import", "FORMAT IN OUT.BDT", {}, "(FORMAT: gts, scs2002, sv300, cass, csv)", RunImport}};

}  // namespace
}  // namespace lumaq::cli
