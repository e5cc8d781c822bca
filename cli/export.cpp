// lumaq-cli export FORMAT IN.BDT OUT: Open of a BDT file, then the record
// Export with a file name in place of the dialog.
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "FormatArgument.h"
#include "PortOptions.h"
#include "app/FileConversions.h"
#include "app/JobCrs.h"
#include "formats/ExchangeFormats.h"
#include "formats/GisFormats.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

const std::string kName = "export";

ExitCode RunExport(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const ExchangeFormat& format =
      ParseFormat(arguments[0], FormatsToExport(RecordKind::kCoordinateRecords), kName);
  const std::string& in = arguments[1];
  const std::string& out = arguments[2];
  RefuseCrsOptionsFor(call, format);
  if (IsTsmExtension(in)) {
    throw RejectedInput("测量数据文件 \"" + in +
                        "\" 中没有坐标点可导出（其原始测量记录请用 lumaq-cli polar "
                        "导出为极坐标数据）");
  }
  if (!IsBdtExtension(in)) {
    throw UsageError("not a record file (.BDT or .bdt): " + in);
  }
  RefuseOutputIsInput(in, out);

  // Open: the first 15999 lines into the table; Export: the table compacted,
  // record by record.
  const RecordFileExport open(in);
  WarnRecordsLeftOut(in, open.LinesLeftOut());
  try {
    open.WriteTo(
        format, JobExchangeOptions(format, ProgramFolder(), call.Value("--crs").value_or("")), out);
  } catch (const RejectedGisInput& error) {
    throw RejectedInput(error.what());
  }
  return ExitCode::kDone;
}

const CliRegistration registration{{kName,
                                    "FORMAT IN.BDT OUT",
                                    {CrsCliOption()},
                                    FormatHelp(FormatsToExport(RecordKind::kCoordinateRecords)),
                                    RunExport}};

}  // namespace
}  // namespace lumaq::cli
