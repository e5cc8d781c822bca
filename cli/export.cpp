// lumaq-cli export FORMAT IN.BDT OUT: Open of a BDT file, then the record
// Export with a file name in place of the dialog.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "CliCommand.h"
#include "CliFiles.h"
#include "PortOptions.h"
#include "formats/ExportFormats.h"
#include "formats/UserFormat.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"

namespace lumaq::cli {
namespace {

// In the order of the export dialog's file types.
constexpr std::array<std::string_view, kExportFormatCount> kExportNames{
    "gts", "scs2002", "sv300", "cass", "csv", "dxf", "user"};

ExportFormat ParseExportFormat(const std::string& name) {
  for (std::size_t i = 0; i < kExportNames.size(); ++i) {
    if (name == kExportNames[i]) return ExportFormatOfIndex(static_cast<int>(i) + 1);
  }
  throw UsageError("unknown export format: " + name +
                   " (gts, scs2002, sv300, cass, csv, dxf or user)");
}

ExitCode RunExport(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const ExportFormat format = ParseExportFormat(arguments[0]);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];
  if (!IsBdtExtension(in)) {
    throw UsageError("not a record file (.BDT or .bdt): " + in);
  }
  RefuseOutputIsInput(in, out);

  // Open: the first 15999 lines into the table; Export: the table compacted.
  JobText lines = ReadTextFile(in);
  WarnRecordsLeftOut(in, CapLines(lines, kMaxRecords));
  NoProgress progress;
  RecordTable table;
  table.FillTableFromJobText(lines, progress);
  const JobText records = table.BuildJobTextFromTable(progress);

  // Only the user's own layout reads the settings file.
  const UserFormat user =
      format == ExportFormat::kUser ? UserFormatForExport(ProgramFolder()) : FallbackUserFormat();
  ExportRecordsToFile(records, format, user, out);
  return ExitCode::kDone;
}

const CliRegistration registration{{"export",
                                    "FORMAT IN.BDT OUT",
                                    {},
                                    "(FORMAT: gts, scs2002, sv300, cass, csv, dxf, user)",
                                    RunExport}};

}  // namespace
}  // namespace lumaq::cli
