#include "app/ExchangeCommands.h"

#include <utility>

#include "app/FileFilter.h"
#include "app/StatusTexts.h"
#include "formats/ImportFormats.h"
#include "formats/UserFormat.h"
#include "rawdata/PolarLines.h"
#include "rawdata/RawUnitState.h"
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
      view_(view),
      dialogs_(dialogs),
      displayText_(std::move(displayText)) {}

void ExchangeCommands::MenuJobImportClick() {
  // Import is offered in the coordinate view only.
  if (!job_.CoordinateMode) return;
  if (!main_.AskToSaveChanges()) return;
  const auto choice = dialogs_.AskOpenFile({kImportTitle, kImportFilter,
                                            IndexWithin(main_.FileTypeIndex(), kImportFormatCount),
                                            std::string(), main_.ProgramFolder(), std::string()});
  if (!choice) return;
  main_.SetFileTypeIndex(choice->filterIndex);

  // From here on the table is empty, whatever follows.
  table_.ClearTable();
  view_.RefreshTable();
  ImportedRecords imported;
  try {
    imported = ImportFile(ImportFormatOfIndex(choice->filterIndex), choice->path);
  } catch (const RejectedImportFile&) {
    dialogs_.ShowMessage(kCaptionWarning, kFormatMismatchMessage, MessageIcon::kWarning,
                         MessageButtons::kOk);
    return;
  } catch (...) {
    dialogs_.ShowMessage(kCaptionWarning, kImportErrorMessage, MessageIcon::kWarning,
                         MessageButtons::kOk);
    throw;
  }
  job_.JobText = std::move(imported.records);
  main_.ShowJobRecords(PointCountText);
  // The next Save asks for a file name.
  job_.Untitled = true;
  main_.WarnRecordsLeftOut(imported.leftOut);
}

void ExchangeCommands::MenuJobExportClick() {
  if (job_.CoordinateMode) {
    ExportRecords();
  } else if (job_.HasRawRecords) {
    ExportPolar();
  }
  // A measurement job without raw records offers no export: its text stays.
}

void ExchangeCommands::ExportRecords() {
  // The job text is compacted from the table even when the user then cancels.
  job_.JobText = table_.BuildJobTextFromTable(view_);
  const UserFormat user = UserFormatForExport(main_.ProgramFolder());
  const std::string filter = ExportFilter(user, displayText_);
  const auto choice = dialogs_.AskSaveFile({kExportTitle, filter, main_.FileTypeIndex(),
                                            lastExportName_, main_.ProgramFolder(), std::string()});
  if (!choice) return;
  main_.SetFileTypeIndex(choice->filterIndex);
  const int typeIndex = IndexWithin(choice->filterIndex, kExportFormatCount);
  const std::string path = CompleteFileName(choice->path, filter, typeIndex);
  lastExportName_ = FileNameOf(path);
  ExportRecordsToFile(job_.JobText, ExportFormatOfIndex(typeIndex), user, path);
}

void ExchangeCommands::ExportPolar() {
  const auto choice = dialogs_.AskSaveFile(
      {kExportTitle, kPolarFilter, 1, lastExportName_, main_.ProgramFolder(), std::string()});
  if (!choice) return;
  main_.SetFileTypeIndex(choice->filterIndex);
  const std::string path = CompleteFileName(choice->path, kPolarFilter, 1);
  lastExportName_ = FileNameOf(path);
  WritePolarFile(ProcessRawUnitState(), job_.RawRecordBuffer, path);
}

}  // namespace lumaq
