#include "app/ExchangeCommands.h"

#include <utility>

#include "app/FileDialogMemory.h"
#include "app/FileFilter.h"
#include "app/StatusTexts.h"
#include "formats/ExportFormats.h"
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

  // The file is read and converted whole before anything changes: a file that
  // is rejected or fails leaves the job as it was, its table included.
  const ExchangeFormat& format = FormatOfTypeIndex(formats, choice->filterIndex);
  ImportedRecords imported;
  try {
    imported = ImportFile(format, choice->path, ExchangeOptionsFor(format, main_.ProgramFolder()));
  } catch (const RejectedImportFile&) {
    dialogs_.ShowMessage(kCaptionWarning, kFormatMismatchMessage, MessageIcon::kWarning,
                         MessageButtons::kOk);
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
  jobCommands_.ExportToFile(FormatOfTypeIndex(formats, typeIndex), options, path);
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
