#include "app/MainCommands.h"

#include <algorithm>
#include <utility>

#include "app/FileFilter.h"
#include "app/PrintCommand.h"
#include "app/StatusTexts.h"
#include "rawdata/RawRecord.h"
#include "records/CellInput.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

constexpr const char* kCoordinateTitleSuffix = "--全站仪坐标记录文件";
constexpr const char* kMeasurementTitleSuffix = "--全站仪测量数据文件";
constexpr const char* kSaveChangesQuestion = "您要保存对工作文件所作的更改吗？";
constexpr const char* kDeleteQuestion = "确定要删除该记录吗?";
constexpr const char* kNoSuchPoint = "当前文件中无此点号。";
constexpr const char* kOpenTitle = "打开";
constexpr const char* kSaveAsTitle = "另存为";

}  // namespace

MainCommands::MainCommands(JobDocument& job, RecordTable& table, MainView& view,
                           UserDialogs& dialogs, std::string programFolder)
    : job_(job),
      table_(table),
      view_(view),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)) {}

void MainCommands::StartUp(const std::vector<std::string>& arguments) {
  job_.JobCounter = 1;
  job_.JobName = "Job1";
  job_.Untitled = true;
  SetTitle(kCoordinateTitleSuffix);
  table_.ClearTable();
  job_.Modified = false;
  job_.CoordinateMode = true;
  transferDirection_ = TransferDirection::kReceive;
  view_.ShowCoordinateView();
  view_.SetStatusText(StatusPanel::kCount, kTotalLabel);
  view_.SetStatusText(StatusPanel::kRow, kCurrentRowLabel);
  view_.RefreshTable();

  // Only one argument with the upper-case extension opens a job.
  if (arguments.size() != 1 || !IsUpperBdtExtension(arguments[0])) return;
  JobText lines = ReadTextFile(arguments[0]);
  const std::size_t leftOut = CapLines(lines, kMaxRecords);
  job_.JobText = std::move(lines);
  table_.FillTableFromJobText(job_.JobText, view_);
  job_.FilePath = arguments[0];
  job_.JobName = FileNameOf(arguments[0]);
  SetTitle(kCoordinateTitleSuffix);
  job_.Untitled = false;
  view_.SetStatusText(StatusPanel::kCount, PointCountText(static_cast<int>(job_.JobText.size())));
  view_.RefreshTable();
  WarnRecordsLeftOut(leftOut);
}

bool MainCommands::AskToSaveChanges() {
  if (!job_.Modified) return true;
  switch (dialogs_.ShowMessage(kCaptionNote, kSaveChangesQuestion, MessageIcon::kQuestion,
                               MessageButtons::kYesNoCancel)) {
    case MessageResult::kCancel:
      return false;
    case MessageResult::kYes:
      SaveAs();  // whatever its outcome, the calling command goes on
      return true;
    default:
      return true;
  }
}

void MainCommands::MenuJobNewClick() {
  NewJob();
}

bool MainCommands::NewJob() {
  if (job_.Untitled && !job_.Modified) return true;
  if (!AskToSaveChanges()) return false;
  ClearRecords();
  ++job_.JobCounter;
  job_.JobName = "Job" + std::to_string(job_.JobCounter);
  SetTitle(kCoordinateTitleSuffix);
  job_.Untitled = true;
  job_.Modified = false;
  const bool wasMeasurement = !job_.CoordinateMode;
  job_.CoordinateMode = true;
  if (wasMeasurement) ShowCoordinateView();
  return true;
}

void MainCommands::MenuJobOpenClick() {
  if (!AskToSaveChanges()) return;
  const auto choice = dialogs_.AskOpenFile(
      {kOpenTitle, kFilterOpen, fileTypeIndex_, std::string(), programFolder_, "BDT"});
  if (!choice) return;
  fileTypeIndex_ = choice->filterIndex;
  // The file is read, and a text split into its lines, before anything
  // changes, so a file that cannot be read leaves the open job as it was.
  const std::string bytes = ReadFileBytes(choice->path);
  JobText lines;
  if (!IsTsmExtension(choice->path)) lines = SplitFileLines(bytes, choice->path);

  table_.ClearTable();
  job_.FilePath = choice->path;
  job_.JobName = FileNameOf(choice->path);
  job_.Untitled = false;
  if (IsBdtExtension(choice->path)) {
    OpenRecordFile(std::move(lines));
  } else {
    OpenMeasurementFile(choice->path, bytes, std::move(lines));
  }
  job_.Modified = false;
}

void MainCommands::OpenRecordFile(JobText lines) {
  job_.CoordinateMode = true;
  ShowCoordinateView();
  SetTitle(kCoordinateTitleSuffix);
  const std::size_t leftOut = CapLines(lines, kMaxRecords);
  job_.JobText = std::move(lines);
  ShowJobRecords(CountText);
  WarnRecordsLeftOut(leftOut);
}

void MainCommands::OpenMeasurementFile(const std::string& path, const std::string& bytes,
                                       JobText textLines) {
  job_.CoordinateMode = false;
  job_.HasRawRecords = false;
  SetTitle("");
  job_.RawRecordBuffer.clear();
  job_.JobText.clear();
  if (IsTsmExtension(path)) {
    // A rejected raw file opens as an empty job, without a word; an accepted
    // one shows the text of every record.
    TsmContent content = OpenTsmBytes(ProcessRawUnitState(), bytes);
    job_.RawRecordBuffer = std::move(content.RawRecordBuffer);
    job_.JobText = std::move(content.JobText);
    job_.HasRawRecords = !job_.RawRecordBuffer.empty();
  } else {
    job_.JobText = std::move(textLines);
  }
  ShowMeasurementView();
  if (job_.HasRawRecords) SetTitle(kMeasurementTitleSuffix);
}

void MainCommands::MenuJobSaveClick() {
  if (job_.Untitled || SaveWouldDestroyRawFile()) {
    SaveAs();
    return;
  }
  if (job_.CoordinateMode) {
    job_.JobText = table_.BuildJobTextFromTable(view_);
    WriteJob(job_.FilePath, false);
  } else {
    WriteJob(job_.FilePath, job_.HasRawRecords && IsTsmExtension(job_.FilePath));
  }
  job_.Modified = false;
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
  const auto choice = dialogs_.AskSaveFile(
      {kSaveAsTitle, filter, fileTypeIndex_, job_.JobName, programFolder_, "BDT"});
  if (!choice) return false;
  fileTypeIndex_ = choice->filterIndex;
  const std::string path = CompleteFileName(choice->path, filter, choice->filterIndex);
  if (job_.CoordinateMode) {
    job_.JobText = table_.BuildJobTextFromTable(view_);
    WriteJob(path, false);
  } else {
    WriteJob(path, job_.HasRawRecords && choice->filterIndex == 1);
  }
  job_.FilePath = path;
  job_.JobName = FileNameOf(path);
  SetTitle(job_.CoordinateMode ? kCoordinateTitleSuffix : kMeasurementTitleSuffix);
  job_.Untitled = false;
  job_.Modified = false;
  return true;
}

void MainCommands::WriteJob(const std::string& path, bool rawRecords) {
  if (rawRecords) {
    WriteFileAtomically(path, job_.RawRecordBuffer);
  } else {
    WriteTextFile(path, job_.JobText);
  }
}

void MainCommands::MenuJobPrintClick() {
  PrintJob(job_, caption_, dialogs_);
}

bool MainCommands::CanClose() {
  return AskToSaveChanges();
}

void MainCommands::Button_SortClick() {
  job_.JobText = table_.BuildJobTextFromTable(view_);
  table_.ClearTable();
  table_.FillTableFromJobText(job_.JobText, view_);
  view_.SetStatusText(StatusPanel::kCount, CountText(static_cast<int>(job_.JobText.size())));
  view_.RefreshTable();
}

void MainCommands::Button_DelClick() {
  if (dialogs_.ShowMessage(kCaptionConfirm, kDeleteQuestion, MessageIcon::kQuestion,
                           MessageButtons::kYesNo) != MessageResult::kYes) {
    return;
  }
  table_.ClearCurrentRecord();
  table_.SetRecountPending();
  // The count of the last tidy less one; the idle recount gives the true number.
  const int count = std::max(0, static_cast<int>(job_.JobText.size()) - 1);
  view_.SetStatusText(StatusPanel::kCount, CountText(count));
  view_.RefreshTable();
}

void MainCommands::Button_ClearClick() {
  ClearRecords();
}

void MainCommands::ClearRecords() {
  table_.ClearTable();
  job_.JobText.clear();
  view_.SetStatusText(StatusPanel::kCount, PointCountText(0));
  table_.SetCurrentCell(kColName, 1);
  ShowCurrentRow();
  view_.RefreshTable();
}

void MainCommands::Button_FindClick(const std::string& searchText) {
  const std::string name = TrimControl(searchText);
  if (name.empty() || job_.JobText.empty()) return;
  if (table_.FindPointByName(name) == 0) {
    dialogs_.ShowMessage(kCaptionNote, kNoSuchPoint, MessageIcon::kNone, MessageButtons::kOk);
    return;
  }
  ShowCurrentRow();
  view_.RefreshTable();
  view_.FocusTable();
}

void MainCommands::StringGrid1KeyDown(bool isEnter) {
  job_.Modified = true;
  table_.SetRecountPending();
  if (!isEnter) return;
  const int row = table_.CurrentRow();
  const int column = table_.CurrentColumn();
  if (column < kColCode) {
    StringGrid1SelectCell(column + 1, row);
  } else if (StringGrid1SelectCell(kColName, row) && row < table_.RowCount() - 1) {
    StringGrid1SelectCell(kColName, row + 1);
  }
  view_.RefreshTable();
}

bool MainCommands::StringGrid1SelectCell(int column, int row) {
  const int leftColumn = table_.CurrentColumn();
  const int leftRow = table_.CurrentRow();
  const LeaveCellResult check = CheckLeavingCell(leftColumn, table_.Cell(leftColumn, leftRow));
  if (check.refused) {
    dialogs_.ShowMessage(kCaptionNote, kRangeMessage, MessageIcon::kInformation,
                         MessageButtons::kOk);
    return false;
  }
  if (check.text) table_.SetCell(leftColumn, leftRow, *check.text);
  table_.SetCurrentCell(column, row);
  ShowCurrentRow();
  return true;
}

void MainCommands::StringGrid1Click() {
  ShowCurrentRow();
}

void MainCommands::ApplicationIdle() {
  int count = 0;
  if (table_.TakeIdleRecount(count)) view_.SetStatusText(StatusPanel::kCount, CountText(count));
}

bool MainCommands::PrepareReceive() {
  // For an untitled, unchanged job New does nothing, so received lines are
  // added after the lines already there. Cancel at its save prompt abandons
  // the receive too.
  if (!NewJob()) return false;
  transferDirection_ = TransferDirection::kReceive;
  return true;
}

void MainCommands::FinishReceive() {
  if (job_.CoordinateMode) {
    ShowCoordinateView();
    ShowJobRecords(CountText);
  } else {
    ShowMeasurementView();
    job_.Modified = true;
    SetTitle(kMeasurementTitleSuffix);
  }
}

bool MainCommands::PrepareSend() {
  if (!job_.CoordinateMode) return false;
  job_.JobText = table_.BuildJobTextFromTable(view_);
  if (job_.JobText.empty()) return false;
  transferDirection_ = TransferDirection::kSend;
  return true;
}

void MainCommands::ShowCoordinateView() {
  view_.ShowCoordinateView();
}

void MainCommands::ShowMeasurementView() {
  table_.ClearTable();
  view_.ShowMeasurementView(job_.HasRawRecords);
  view_.ShowJobText(job_.JobText);
  view_.RefreshTable();
}

void MainCommands::SetTitle(const std::string& suffix) {
  caption_ = job_.JobName + suffix;
  view_.SetCaption(caption_);
}

void MainCommands::ShowCurrentRow() {
  view_.SetStatusText(StatusPanel::kRow, CurrentRowText(table_.CurrentRow()));
}

void MainCommands::ShowJobRecords(std::string (*countText)(int count)) {
  table_.FillTableFromJobText(job_.JobText, view_);
  view_.SetStatusText(StatusPanel::kCount, countText(static_cast<int>(job_.JobText.size())));
  table_.SetCurrentCell(kColName, 1);
  ShowCurrentRow();
  view_.RefreshTable();
}

void MainCommands::WarnRecordsLeftOut(std::size_t count) {
  if (count == 0) return;
  dialogs_.ShowMessage(kCaptionNote, RecordsLeftOutText(count) + "。", MessageIcon::kInformation,
                       MessageButtons::kOk);
}

}  // namespace lumaq
