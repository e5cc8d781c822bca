#include "app/ExchangeCommands.h"

#include <utility>

#include "app/FileDialogMemory.h"
#include "app/FileFilter.h"
#include "app/JobCrs.h"
#include "app/StatusTexts.h"
#include "formats/ExchangeFiles.h"
#include "formats/ExportFormats.h"
#include "formats/FormatDetection.h"
#include "formats/GisFormats.h"
#include "formats/ImportFormats.h"
#include "formats/UserFormat.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

int IndexWithin(int index, int count) {
  return index >= 1 && index <= count ? index : 1;
}

}  // namespace

std::string SameText(std::string_view bytes) {
  return std::string(bytes);
}

ExchangeCommands::ExchangeCommands(MainCommands& main, JobDocument& job, RecordTable& table,
                                   MainView& view, UserDialogs& dialogs, DisplayText displayText)
    : main_(main),
      job_(job),
      table_(table),
      dialogs_(dialogs),
      displayText_(std::move(displayText)),
      jobCommands_(job, table, view) {}

void ExchangeCommands::MenuJobImportClick() {
  // Import is offered in the coordinate view only.
  if (!job_.CoordinateMode) return;
  if (!main_.AskToSaveChanges()) return;
  FileDialogMemory& memory = main_.FileDialogs();
  const FormatList formats = FormatsToImport();
  const auto choice = dialogs_.AskOpenFile(
      {kImportTitle, DialogFilter(formats),
       memory.TypeIndex(FileDialogKind::kOpen, static_cast<int>(formats.size())), std::string(),
       memory.Folder(), std::string()});
  if (!choice) return;
  memory.Remember(FileDialogKind::kOpen, *choice);

  const ExchangeFormat* format =
      ConfirmFormat(FormatOfTypeIndex(formats, choice->filterIndex), choice->path, formats);
  if (format == nullptr) return;

  // The file is read and converted whole before anything changes: a file that
  // is rejected or fails leaves the job as it was, its table included.
  ImportedRecords imported;
  try {
    imported = ImportExchangeFile(*format, choice->path,
                                  JobExchangeOptions(*format, main_.ProgramFolder()));
  } catch (const RejectedImportFile&) {
    dialogs_.ShowMessage(kCaptionWarning, kFormatMismatchMessage, MessageIcon::kWarning,
                         MessageButtons::kOk);
    return;
  } catch (const RejectedGisInput& error) {
    dialogs_.ShowMessage(kCaptionWarning, error.what(), MessageIcon::kWarning, MessageButtons::kOk);
    return;
  } catch (...) {
    dialogs_.ShowMessage(kCaptionWarning, kImportErrorMessage, MessageIcon::kWarning,
                         MessageButtons::kOk);
    throw;
  }
  main_.ChangeTable([&] {
    job_.JobText = std::move(imported.records);
    table_.ClearTable();
    main_.ShowJobRecords(PointCountText);
  });
  // The next Save asks for a file name.
  job_.Untitled = true;
  main_.WarnRecordsLeftOut(imported.leftOut);
}

const ExchangeFormat* ExchangeCommands::ConfirmFormat(const ExchangeFormat& chosen,
                                                      const std::string& path,
                                                      const FormatList& formats) {
  const FormatList others = OtherFormatsItLooksLike(chosen, FirstBytesOf(path), formats);
  if (others.empty()) return &chosen;
  const std::string mismatch = MismatchText(chosen, others, FileNameOf(path));
  if (others.size() > 1) {
    const MessageResult goOn =
        dialogs_.ShowMessage(kCaptionConfirm, mismatch + "\n是否仍按所选格式导入？",
                             MessageIcon::kQuestion, MessageButtons::kYesNo);
    return goOn == MessageResult::kYes ? &chosen : nullptr;
  }
  const std::string text = mismatch + "\n\n是：改按" + ShownFormats(others) + "格式导入\n否：仍按" +
                           ShownFormats({&chosen}) + "格式导入\n取消：不导入";
  switch (dialogs_.ShowMessage(kCaptionConfirm, text, MessageIcon::kQuestion,
                               MessageButtons::kYesNoCancel)) {
    case MessageResult::kYes:
      return others.front();
    case MessageResult::kNo:
      return &chosen;
    default:
      return nullptr;
  }
}

void ExchangeCommands::MenuJobExportClick() {
  if (job_.CoordinateMode) {
    ExportRecords();
  } else if (job_.HasRawRecords) {
    ExportRawRecords();
  }
  // A measurement job without raw records offers no export: its text stays.
}

void ExchangeCommands::ExportRecords() {
  // The job text is compacted from the table even when the user then cancels.
  jobCommands_.TakeRecordsFromTable();
  const ExchangeOptions options{UserFormatForExport(main_.ProgramFolder())};
  const FormatList formats = FormatsToExport(RecordKind::kCoordinateRecords);
  const std::string filter = DialogFilter(formats, options.user, displayText_);
  FileDialogMemory& memory = main_.FileDialogs();
  const auto choice = dialogs_.AskSaveFile(
      {kExportTitle, filter, memory.TypeIndex(FileDialogKind::kSave, FilterTypeCount(filter)),
       lastExportName_, memory.Folder(), std::string()});
  if (!choice) return;
  memory.Remember(FileDialogKind::kSave, *choice);
  const int typeIndex = IndexWithin(choice->filterIndex, static_cast<int>(formats.size()));
  const std::string path = CompleteFileName(choice->path, filter, typeIndex);
  lastExportName_ = FileNameOf(path);
  const ExchangeFormat& format = FormatOfTypeIndex(formats, typeIndex);
  ExchangeOptions formatOptions = options;
  formatOptions.crs = JobExchangeOptions(format, main_.ProgramFolder()).crs;
  jobCommands_.ExportToFile(format, formatOptions, path);
}

void ExchangeCommands::ExportRawRecords() {
  const FormatList formats = FormatsToExport(RecordKind::kRawRecords);
  const std::string filter = DialogFilter(formats);
  FileDialogMemory& memory = main_.FileDialogs();
  // The dialog starts at the first type, whatever type Save As used last.
  const auto choice = dialogs_.AskSaveFile(
      {kExportTitle, filter, 1, lastExportName_, memory.Folder(), std::string()});
  if (!choice) return;
  memory.Remember(FileDialogKind::kSave, *choice);
  const int typeIndex = IndexWithin(choice->filterIndex, static_cast<int>(formats.size()));
  const std::string path = CompleteFileName(choice->path, filter, typeIndex);
  lastExportName_ = FileNameOf(path);
  const ExchangeFormat& format = FormatOfTypeIndex(formats, typeIndex);
  jobCommands_.ExportToFile(format, ExchangeOptionsFor(format, main_.ProgramFolder()), path);
}

}  // namespace lumaq
