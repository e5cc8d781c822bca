// lumaq-cli import [FORMAT] IN OUT.BDT: the Import command with a file name in
// place of the dialog, then the job text written as a BDT file. A file that
// does not look like FORMAT but like another is warned about; --detect
// picks the format by the file's content instead. The records are written
// as they are read (app/FileConversions.h).
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>

#include "CliCommand.h"
#include "CliFiles.h"
#include "FormatArgument.h"
#include "PortOptions.h"
#include "app/FileConversions.h"
#include "app/JobCrs.h"
#include "formats/ExchangeFormats.h"
#include "formats/FormatDetection.h"
#include "formats/GisFormats.h"
#include "formats/ImportFormats.h"
#include "records/InputLimits.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

const std::string kName = "import";

std::string Names(const FormatList& formats) {
  std::string names;
  for (const ExchangeFormat* format : formats) {
    names += (names.empty() ? "" : " 或 ") + std::string(format->name);
  }
  return names;
}

// --detect: the format the file looks like; chosen when it looks like that
// one too, or like none.
const ExchangeFormat& DetectedFormat(const ExchangeFormat* chosen, const std::string& in) {
  const FormatList fitting = FormatsItLooksLike(FirstBytesOf(in), FormatsToImport());
  const bool chosenFits =
      chosen != nullptr && std::find(fitting.begin(), fitting.end(), chosen) != fitting.end();
  if (chosenFits || (chosen != nullptr && fitting.empty())) return *chosen;
  if (fitting.size() == 1) {
    std::cerr << "lumaq-cli: 文件 \"" << in << "\" 看起来是 " << fitting.front()->name
              << " 格式，按它导入\n";
    return *fitting.front();
  }
  if (fitting.empty()) {
    throw RejectedInput("无法从内容看出文件 \"" + in + "\" 的格式：请给出 FORMAT");
  }
  throw RejectedInput("文件 \"" + in + "\" 看起来像 " + Names(fitting) +
                      " 格式，无法确定是哪一种：请给出 FORMAT");
}

// Without --detect: the format given, with a warning when the file looks
// like others rather than it.
const ExchangeFormat& GivenFormat(const ExchangeFormat& chosen, const std::string& in) {
  const FormatList others = OtherFormatsItLooksLike(chosen, FirstBytesOf(in), FormatsToImport());
  if (!others.empty()) {
    std::cerr << "lumaq-cli: 警告：" << MismatchText(chosen, others, FileNameOf(in)) << "（"
              << Names(others) << "；用 --detect 按文件内容选择格式）\n";
  }
  return chosen;
}

// The import under way, its records written beside out.
RecordFileImport Import(const ExchangeFormat& format, const std::string& in,
                        const ExchangeOptions& options, const std::string& out) {
  try {
    return RecordFileImport(format, in, options, out);
  } catch (const RejectedImportFile&) {
    throw RejectedInput(std::string(kFormatMismatchMessage) + " \"" + in + "\"");
  } catch (const ImportError& error) {
    // A line the reader cannot take apart: the file is rejected as it is.
    throw RejectedInput(std::string(kImportErrorMessage) + " \"" + in + "\" " + error.what());
  } catch (const OversizedInput& error) {
    throw RejectedInput(std::string(kImportErrorMessage) + " " + error.what());
  } catch (const RejectedGisInput& error) {
    throw RejectedInput(std::string(kImportErrorMessage) + " " + error.what());
  } catch (const NotARegularFile& error) {
    throw RejectedInput(std::string(kImportErrorMessage) + " " + error.what());
  } catch (const FileError& error) {
    throw FileError(std::string(kImportErrorMessage) + " " + error.what());
  }
}

ExitCode RunImport(const CliCall& call) {
  const Arguments& arguments = call.Positional();
  const bool named = arguments.size() == 3;
  if (!named && !call.Has("--detect")) {
    // "import cass IN" lacks OUT; "import IN OUT" lacks the format.
    const bool formatGiven = FindExchangeFormat(arguments[0]) != nullptr;
    throw call.Wrong(formatGiven ? "" : "FORMAT is missing (or give --detect)");
  }
  const ExchangeFormat* chosen =
      named ? &ParseFormat(arguments[0], FormatsToImport(), kName) : nullptr;
  const std::string& in = arguments[named ? 1 : 0];
  const std::string& out = arguments[named ? 2 : 1];

  RefuseOutputIsInput(in, out);
  const ExchangeFormat& format =
      call.Has("--detect") ? DetectedFormat(chosen, in) : GivenFormat(*chosen, in);
  RefuseCrsOptionsFor(call, format);
  ExchangeOptions options =
      JobExchangeOptions(format, ProgramFolder(), call.Value("--crs").value_or(""));
  options.layer = call.Value("--layer").value_or("");

  RecordFileImport import = Import(format, in, options, out);
  WarnRecordsLeftOut(in, import.RecordsLeftOut());
  import.Commit();
  return ExitCode::kDone;
}

const CliRegistration registration{
    {kName,
     "[FORMAT] IN OUT.BDT",
     {{"--detect", "", "pick the format by the file's content (FORMAT, if given, when it fits)"},
      CrsCliOption(),
      LayerCliOption()},
     FormatHelp(FormatsToImport()),
     RunImport}};

}  // namespace
}  // namespace lumaq::cli
