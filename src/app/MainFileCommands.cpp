// The job's files: New, Open, Save, Save As, Print and the save prompt.
#include <string>
#include <utility>

#include "app/FileDialogMemory.h"
#include "app/FileFilter.h"
#include "app/MainCommands.h"
#include "app/PrintCommand.h"
#include "app/StatusTexts.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

constexpr const char* kSaveChangesQuestion = "您要保存对工作文件所作的更改吗？";
constexpr const char* kOpenTitle = "打开";
constexpr const char* kSaveAsTitle = "另存为";

std::string NotAMeasurementFileMessage(const std::string& path) {
  return "文件“" + FileNameOf(path) + "”不是有效的测量数据文件，未能装入。";
}

}  // namespace

std::string TextBesideText(const std::string& path, const std::string& beside, std::size_t lines) {
  return "测量数据文件“" + FileNameOf(path) + "”只保存原始测量记录；接收到的其他 " +
         std::to_string(lines) + " 行已一并保存到“" + FileNameOf(beside) + "”。";
}

bool MainCommands::AskToSaveChanges() {
  if (!job_.Modified && !receivedUnsaved_) return true;
  switch (dialogs_.ShowMessage(kCaptionNote, kSaveChangesQuestion, MessageIcon::kQuestion,
                               MessageButtons::kYesNoCancel)) {
    case MessageResult::kCancel:
      return false;
    case MessageResult::kYes:
      // A Save As cancelled abandons the calling command as Cancel does; one
      // that fails raises its error, which abandons it too. Going on would
      // throw the changes away.
      return SaveAs();
    default:
      return true;
  }
}

void MainCommands::MenuJobNewClick() {
  NewJob(false);
}

bool MainCommands::NewJob(bool forReceive) {
  if (job_.Untitled && !job_.Modified && (forReceive || !receivedUnsaved_)) return true;
  if (!AskToSaveChanges()) return false;
  ClearRecords();
  DropJournal();
  ++job_.JobCounter;
  job_.JobName = "Job" + std::to_string(job_.JobCounter);
  SetTitle(kCoordinateTitleSuffix);
  job_.Untitled = true;
  job_.Modified = false;
  receivedUnsaved_ = false;
  const bool wasMeasurement = !job_.CoordinateMode;
  job_.CoordinateMode = true;
  if (wasMeasurement) ShowCoordinateView();
  ForgetHistory();
  return true;
}

void MainCommands::MenuJobOpenClick() {
  if (!AskToSaveChanges()) return;
  const auto choice = dialogs_.AskOpenFile(
      {kOpenTitle, kFilterOpen,
       fileDialogs_.TypeIndex(FileDialogKind::kOpen, FilterTypeCount(kFilterOpen)), std::string(),
       fileDialogs_.Folder(), "BDT"});
  if (!choice) return;
  fileDialogs_.Remember(FileDialogKind::kOpen, *choice);
  OpenFile(choice->path);
}

void MainCommands::OpenFile(const std::string& path) {
  // The file is read, and a text split into its lines, before anything
  // changes, so a file that cannot be read leaves the open job as it was.
  std::string bytes = ReadFileBytes(path);
  JobText lines;
  if (!IsTsmExtension(path)) lines = SplitFileLines(bytes, path);
  table_.ClearTable();
  job_.FilePath = path;
  job_.JobName = FileNameOf(path);
  job_.Untitled = false;
  if (IsBdtExtension(path)) {
    OpenRecordFile(std::move(lines));
  } else {
    OpenMeasurementFile(path, std::move(bytes), std::move(lines));
  }
  job_.Modified = false;
  receivedUnsaved_ = false;
  ForgetHistory();
  DropJournal();
}

void MainCommands::OpenRecordFile(JobText lines) {
  job_.CoordinateMode = true;
  ShowCoordinateView();
  SetTitle(kCoordinateTitleSuffix);
  const std::size_t leftOut = jobCommands_.OpenRecordLines(std::move(lines));
  ShowFilledTable(CountText);
  WarnRecordsLeftOut(leftOut);
}

void MainCommands::OpenMeasurementFile(const std::string& path, std::string bytes,
                                       JobText textLines) {
  job_.CoordinateMode = false;
  job_.HasRawRecords = false;
  SetTitle("");
  job_.RawRecordBuffer.clear();
  job_.JobText.clear();
  const bool rawFile = IsTsmExtension(path);
  bool rejected = false;
  if (rawFile) {
    rejected = !jobCommands_.OpenRawFile(std::move(bytes));
  } else {
    job_.JobText = std::move(textLines);
  }
  ShowMeasurementView();
  if (job_.HasRawRecords) SetTitle(kMeasurementTitleSuffix);
  // A rejected raw file opens as an empty job, and the user is told why.
  if (rejected) {
    dialogs_.ShowMessage(kCaptionNote, NotAMeasurementFileMessage(path), MessageIcon::kInformation,
                         MessageButtons::kOk);
  }
}

void MainCommands::MenuJobSaveClick() {
  if (job_.Untitled || SaveWouldDestroyRawFile()) {
    SaveAs();
    return;
  }
  const int leftOut =
      WriteJobTo(job_.FilePath, job_.HasRawRecords && IsTsmExtension(job_.FilePath));
  job_.Modified = false;
  receivedUnsaved_ = false;
  DropJournal();
  ReportLeftOutRows(leftOut, LeftOutBy::kSave);
}

// A measurement job without raw records would write its text over a raw
// measurement file: Save asks for another file instead.
bool MainCommands::SaveWouldDestroyRawFile() const {
  return !job_.CoordinateMode && !job_.HasRawRecords && IsTsmExtension(job_.FilePath);
}

void MainCommands::MenuJobSaveAsClick() {
  SaveAs();
}

bool MainCommands::SaveAs() {
  const char* filter = job_.CoordinateMode  ? kFilterSaveCoordinates
                       : job_.HasRawRecords ? kFilterSaveMeasurement
                                            : kFilterSaveText;
  // A job with a file starts in its folder with its name and type, so that
  // accepting the dialog saves over that file (after the overwrite question).
  const bool hasFile = !job_.Untitled && !job_.FilePath.empty();
  // Raw records without a file of their own are offered as one first.
  const int fileType = hasFile ? FilterIndexOfExtension(filter, job_.FilePath)
                       : filter == kFilterSaveMeasurement ? 1
                                                          : 0;
  const auto choice = dialogs_.AskSaveFile(
      {kSaveAsTitle, filter,
       fileType != 0 ? fileType
                     : fileDialogs_.TypeIndex(FileDialogKind::kSave, FilterTypeCount(filter)),
       job_.JobName, hasFile ? FolderOf(job_.FilePath) : fileDialogs_.Folder(), "BDT"});
  if (!choice) return false;
  fileDialogs_.Remember(FileDialogKind::kSave, *choice);
  const std::string path = CompleteFileName(choice->path, filter, choice->filterIndex);
  const int leftOut = WriteJobTo(path, job_.HasRawRecords && choice->filterIndex == 1);
  job_.FilePath = path;
  job_.JobName = FileNameOf(path);
  SetTitle(job_.CoordinateMode ? kCoordinateTitleSuffix : kMeasurementTitleSuffix);
  job_.Untitled = false;
  job_.Modified = false;
  receivedUnsaved_ = false;
  DropJournal();
  ReportLeftOutRows(leftOut, LeftOutBy::kSave);
  return true;
}

int MainCommands::WriteJobTo(const std::string& path, bool rawRecords) {
  try {
    if (!job_.CoordinateMode) {
      TellTextBeside(path, jobCommands_.WriteJob(path, rawRecords));
      return 0;
    }
    const int leftOut = table_.CountLeftOutRows();
    jobCommands_.TakeRecordsFromTable();
    jobCommands_.WriteJob(path, false);
    return leftOut;
  } catch (const FileError& error) {
    // Received records exist nowhere else but in the window (and its journal).
    if (!receivedUnsaved_) throw;
    throw FileError(std::string(error.what()) + "\n" + kReceivedJobKeptText);
  }
}

void MainCommands::TellTextBeside(const std::string& path, const std::string& beside) {
  if (beside.empty()) return;
  dialogs_.ShowMessage(kCaptionNote,
                       TextBesideText(path, beside, job_.LinesBesideRawRecords.size()),
                       MessageIcon::kInformation, MessageButtons::kOk);
}

void MainCommands::MenuJobPrintClick() {
  if (planShown_) {
    PlanScene scene;
    scene.Rebuild(table_);
    PrintPlan(scene, job_.JobName, caption_, planCodes_, dialogs_);
    return;
  }
  PrintJob(job_, caption_, dialogs_);
}

bool MainCommands::CanClose() {
  if (!AskToSaveChanges()) return false;
  // Saved, or dropped by the user's No.
  DropJournal();
  return true;
}

}  // namespace lumaq
