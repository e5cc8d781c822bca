#include "app/MainCommands.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/StatusTexts.h"
#include "rawdata/AlteredRecords.h"
#include "records/JobFiles.h"
#include "records/SettingsLocation.h"

namespace lumaq {
namespace {

// The option of the desktop's file manager: open this file of any job type.
constexpr const char* kOpenOption = "--open";

// After the warning about names the send would change.
constexpr const char* kSendAnyway = "\n是否继续发送？";

}  // namespace

std::string TableFullText(int received, int dropped) {
  const std::string max = std::to_string(kMaxRecords);
  return "共收到 " + std::to_string(received) + " 条坐标记录，表格最多只能容纳 " + max +
         " 条：表格保留了前 " + max + " 条，其余 " + std::to_string(dropped) +
         " 条未保留，保存时也不会写入。请分批接收。";
}

std::string RecordsPastTableText(int count) {
  const std::string max = std::to_string(kMaxRecords);
  return "表格最多只能容纳 " + max + " 条记录：第 " + max + " 行之后的 " + std::to_string(count) +
         " 条记录不会发送。";
}

namespace {

// Why a transfer stopped short; empty when it ran to its end or never began.
std::string UnfinishedReason(TransferOutcome outcome) {
  switch (outcome) {
    case TransferOutcome::kLineError:
      return "通讯中断";
    case TransferOutcome::kCancelled:
      return "已取消";
    default:
      return "";
  }
}

}  // namespace

std::string UnfinishedReceiveText(const TransferEnd& end) {
  const std::string reason = UnfinishedReason(end.outcome);
  if (reason.empty()) return "";
  return "接收未完成（" + reason + "）：已收到 " + std::to_string(end.count) +
         " 条记录，数据可能不完整。请检查并保存，必要时重新接收。";
}

std::string UnfinishedSendText(const TransferEnd& end, int total) {
  const std::string reason = UnfinishedReason(end.outcome);
  if (reason.empty()) return "";
  return "发送未完成（" + reason + "）：全站仪确认了 " + std::to_string(total) + " 条记录中的 " +
         std::to_string(end.count) + " 条，其余记录未发送。";
}

MainCommands::MainCommands(JobDocument& job, RecordTable& table, MainView& view,
                           UserDialogs& dialogs, std::string programFolder)
    : job_(job),
      table_(table),
      view_(view),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      fileDialogs_(programFolder_),
      journals_(UserStateFolder()) {}

void MainCommands::StartUp(const std::vector<std::string>& arguments) {
  job_.JobCounter = 1;
  job_.JobName = "Job1";
  job_.Untitled = true;
  SetTitle(kCoordinateTitleSuffix);
  table_.ClearTable();
  job_.Modified = false;
  receivedUnsaved_ = false;
  job_.CoordinateMode = true;
  transferDirection_ = TransferDirection::kReceive;
  view_.ShowCoordinateView();
  view_.SetStatusText(StatusPanel::kCount, kTotalLabel);
  view_.SetStatusText(StatusPanel::kRow, kCurrentRowLabel);
  shownRow_ = table_.CurrentRow();
  ForgetHistory();
  view_.RefreshTable();

  const bool restored = OfferLeftJournals();
  const auto open = std::find(arguments.begin(), arguments.end(), kOpenOption);
  if (open != arguments.end()) {
    if (std::next(open) == arguments.end()) return;
    if (restored && !NewJob(false)) return;
    OpenFile(*std::next(open));
    fileDialogs_.RememberFolderOf(*std::next(open));
    return;
  }
  // Only one argument with the upper-case extension opens a job. The count
  // is of the arguments as typed: "-reverse JOB.BDT" opens nothing.
  if (arguments.size() == 1 && IsUpperBdtExtension(arguments[0])) {
    if (restored && !NewJob(false)) return;
    OpenCommandLineBdt(arguments[0]);
  }
}

void MainCommands::OpenCommandLineBdt(const std::string& path) {
  const std::size_t leftOut = jobCommands_.OpenRecordFile(path);
  job_.FilePath = path;
  job_.JobName = FileNameOf(path);
  SetTitle(kCoordinateTitleSuffix);
  job_.Untitled = false;
  view_.SetStatusText(StatusPanel::kCount, PointCountText(static_cast<int>(job_.JobText.size())));
  fileDialogs_.RememberFolderOf(path);
  TrackCurrentCell();
  ShowTable();
  WarnRecordsLeftOut(leftOut);
}

bool MainCommands::PrepareReceive() {
  // For an untitled, unchanged job New does nothing, so received lines are
  // added after the lines already there. Cancel at its save prompt abandons
  // the receive too.
  if (!NewJob(true)) return false;
  transferDirection_ = TransferDirection::kReceive;
  linesBeforeReceive_ = job_.JobText.size();
  linesShown_ = linesBeforeReceive_;
  arrivingAsText_ = false;
  view_.SetTableReadOnly(true);
  BeginReceiveJournal();
  return true;
}

void MainCommands::ShowArrivingLines(bool coordinateData) {
  const std::size_t lines = job_.JobText.size();
  if (lines == linesShown_) return;
  if (coordinateData && !arrivingAsText_) {
    // The rows FinishReceive fills from the same lines, up to the table's end.
    const std::size_t last = std::min(lines, static_cast<std::size_t>(kMaxRecords));
    if (static_cast<int>(last) >= table_.RowCount())
      table_.RestoreRowCount(static_cast<int>(last) + 1);
    for (std::size_t i = linesShown_; i < last; ++i) {
      table_.SetRowCells(static_cast<int>(i) + 1, TableRowOfLine(job_.JobText[i]));
    }
    view_.SetStatusText(StatusPanel::kCount, CountText(static_cast<int>(lines)));
    view_.RefreshTable();
  } else {
    // Measurement text: the whole text, as the view shows it after the end.
    if (!arrivingAsText_) view_.ShowMeasurementView(false);
    arrivingAsText_ = true;
    view_.ShowJobText(job_.JobText);
  }
  linesShown_ = lines;
}

void MainCommands::FinishReceive(const TransferEnd& end) {
  view_.SetTableReadOnly(false);
  if (job_.CoordinateMode) {
    const std::size_t lines = job_.JobText.size();
    const auto max = static_cast<std::size_t>(kMaxRecords);
    // The table holds 15999 records, and Save writes the table.
    CapLines(job_.JobText, max);
    ShowCoordinateView();
    ShowJobRecords(CountText);
    if (lines > linesBeforeReceive_) receivedUnsaved_ = true;
    if (lines > max) {
      const auto received = static_cast<int>(lines - std::min(linesBeforeReceive_, lines));
      dialogs_.ShowMessage(kCaptionWarning, TableFullText(received, static_cast<int>(lines - max)),
                           MessageIcon::kWarning, MessageButtons::kOk);
    }
  } else {
    ShowMeasurementView();
    job_.Modified = true;
    SetTitle(kMeasurementTitleSuffix);
  }
  const std::string unfinished = UnfinishedReceiveText(end);
  // What arrived is all there is of the job: it is not to go without a save.
  if (!unfinished.empty() && job_.JobText.size() > linesBeforeReceive_) job_.Modified = true;
  ForgetHistory();
  EndReceiveJournal();
  if (!unfinished.empty()) {
    dialogs_.ShowMessage(kCaptionWarning, unfinished, MessageIcon::kWarning, MessageButtons::kOk);
  }
}

bool MainCommands::PrepareSend() {
  if (!jobCommands_.PrepareSend()) return false;
  // Send sends the table's 15999 rows; records typed past them are not sent.
  if (const int past = table_.CountRecordsPastLimit(); past > 0) {
    dialogs_.ShowMessage(kCaptionWarning, RecordsPastTableText(past), MessageIcon::kWarning,
                         MessageButtons::kOk);
  }
  if (const AlteredRecords altered = FindAlteredRecords(job_.JobText); altered.count > 0) {
    const MessageResult answer = dialogs_.ShowMessage(
        kCaptionWarning, AlteredRecordsText(altered, displayText_) + kSendAnyway,
        MessageIcon::kWarning, MessageButtons::kContinueCancel);
    if (answer != MessageResult::kOk) return false;
  }
  transferDirection_ = TransferDirection::kSend;
  return true;
}

void MainCommands::FinishSend(const TransferEnd& end) {
  const std::string unfinished = UnfinishedSendText(end, static_cast<int>(job_.JobText.size()));
  if (unfinished.empty()) return;
  dialogs_.ShowMessage(kCaptionWarning, unfinished, MessageIcon::kWarning, MessageButtons::kOk);
}

int MainCommands::SentRecordRow(int line) const {
  return table_.RowOfRecord(line);
}

void MainCommands::ShowCoordinateView() {
  view_.ShowCoordinateView();
}

void MainCommands::ShowMeasurementView() {
  // A measurement job has no plan: the coordinate view comes back as the table.
  if (planShown_) {
    planShown_ = false;
    view_.ShowPlan(false);
  }
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
  shownRow_ = table_.CurrentRow();
  view_.SetStatusText(StatusPanel::kRow, CurrentRowText(shownRow_));
}

void MainCommands::FollowCurrentRow() {
  if (table_.CurrentRow() != shownRow_) ShowCurrentRow();
}

void MainCommands::ShowTable() {
  FollowCurrentRow();
  view_.RefreshTable();
}

void MainCommands::ShowJobRecords(std::string (*countText)(int count)) {
  table_.FillTableFromJobText(job_.JobText, progress_);
  ShowFilledTable(countText);
}

void MainCommands::ShowFilledTable(std::string (*countText)(int count)) {
  view_.SetStatusText(StatusPanel::kCount, countText(static_cast<int>(job_.JobText.size())));
  table_.SetCurrentCell(kColName, 1);
  ShowCurrentRow();
  view_.RefreshTable();
}

void MainCommands::RowFollowingProgress::SetProgressText(const std::string& text) {
  commands_.view_.SetProgressText(text);
}

void MainCommands::RowFollowingProgress::ProcessMessages() {
  commands_.FollowCurrentRow();
  commands_.view_.ProcessMessages();
}

void MainCommands::WarnRecordsLeftOut(std::size_t count) {
  if (count == 0) return;
  dialogs_.ShowMessage(kCaptionNote, RecordsLeftOutText(count) + "。", MessageIcon::kInformation,
                       MessageButtons::kOk);
}

}  // namespace lumaq
