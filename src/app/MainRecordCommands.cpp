// The records and the cells of the table: Tidy, Delete, Clear, Find, undo and
// redo, the keys and cell moves of the table and the idle recount.
#include <algorithm>
#include <string>

#include "app/MainCommands.h"
#include "app/StatusTexts.h"
#include "records/CellInput.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

constexpr const char* kDeleteQuestion = "确定要删除该记录吗?";
constexpr const char* kNoSuchPoint = "当前文件中无此点号。";

std::string LeftOutMessage(int count, bool bySave) {
  return "有" + std::to_string(count) + "行缺少点号、N或E，" +
         (bySave ? "没有写入文件。" : "整理时已去掉（Ctrl+Z 可恢复）。");
}

}  // namespace

void MainCommands::Button_SortClick() {
  int leftOut = 0;
  ChangeTable([&] {
    leftOut = table_.CountLeftOutRows();
    job_.JobText = table_.BuildJobTextFromTable(progress_);
    table_.ClearTable();
    table_.FillTableFromJobText(job_.JobText, progress_);
    view_.SetStatusText(StatusPanel::kCount, CountText(static_cast<int>(job_.JobText.size())));
  });
  ShowTable();
  ReportLeftOutRows(leftOut, LeftOutBy::kTidy);
}

void MainCommands::ReportLeftOutRows(int count, LeftOutBy by) {
  if (count == 0) return;
  dialogs_.ShowMessage(kCaptionNote, LeftOutMessage(count, by == LeftOutBy::kSave),
                       MessageIcon::kInformation, MessageButtons::kOk);
}

void MainCommands::Button_DelClick() {
  if (dialogs_.ShowMessage(kCaptionConfirm, kDeleteQuestion, MessageIcon::kQuestion,
                           MessageButtons::kYesNo) != MessageResult::kYes) {
    return;
  }
  ChangeTable([&] { table_.ClearCurrentRecord(); });
  table_.SetRecountPending();
  // The count of the last tidy less one; the idle recount gives the true number.
  const int count = std::max(0, static_cast<int>(job_.JobText.size()) - 1);
  view_.SetStatusText(StatusPanel::kCount, CountText(count));
  ShowTable();
}

void MainCommands::Button_ClearClick() {
  ChangeTable([&] { ClearRecords(); });
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
  const int row = table_.FindNextPointByName(name);
  if (row == 0) {
    dialogs_.ShowMessage(kCaptionNote, kNoSuchPoint, MessageIcon::kNone, MessageButtons::kOk);
    return;
  }
  // Find leaves the current cell as any move does: a coordinate out of range
  // keeps it current, and the user is asked to enter it again.
  const bool stays = row == table_.CurrentRow() && table_.CurrentColumn() == kColName;
  if (!stays) StringGrid1SelectCell(kColName, row);
  ShowTable();
  view_.FocusTable();
}

void MainCommands::Undo() {
  if (!job_.CoordinateMode) return;
  CommitCellEdit();
  if (history_.Undo(table_, job_.JobText)) ShowHistoryStep();
}

void MainCommands::Redo() {
  if (!job_.CoordinateMode) return;
  CommitCellEdit();
  if (history_.Redo(table_, job_.JobText)) ShowHistoryStep();
}

bool MainCommands::CanUndo() const {
  return job_.CoordinateMode && (history_.UndoSteps() > 0 || CellEdited());
}

// An edit of the current cell becomes a step before the redo, which drops
// what could be redone.
bool MainCommands::CanRedo() const {
  return job_.CoordinateMode && history_.RedoSteps() > 0 && !CellEdited();
}

bool MainCommands::CellEdited() const {
  const auto& [column, row, text] = cellOrigin_;
  return column >= 0 && column < kColumnCount && row >= 1 && row < table_.RowCount() &&
         table_.Cell(column, row) != text;
}

// An undone or redone step is a change of the job the user has not saved.
void MainCommands::ShowHistoryStep() {
  job_.Modified = true;
  view_.SetStatusText(StatusPanel::kCount, CountText(table_.CountRecords()));
  TrackCurrentCell();
  ShowCurrentRow();
  view_.RefreshTable();
}

void MainCommands::ChangeTable(const std::function<void()>& change) {
  CommitCellEdit();
  const TableHistory::Before before(table_, job_.JobText);
  try {
    change();
  } catch (...) {
    // What the change did before it failed can be undone as well.
    history_.Record(before, table_, job_.JobText);
    TrackCurrentCell();
    throw;
  }
  history_.Record(before, table_, job_.JobText);
  TrackCurrentCell();
}

void MainCommands::CommitCellEdit() {
  history_.RecordCellEdit(cellOrigin_.column, cellOrigin_.row, cellOrigin_.text, table_);
  TrackCurrentCell();
}

void MainCommands::TrackCurrentCell() {
  cellOrigin_ = {table_.CurrentColumn(), table_.CurrentRow(),
                 table_.Cell(table_.CurrentColumn(), table_.CurrentRow())};
}

void MainCommands::ForgetHistory() {
  history_.Clear();
  TrackCurrentCell();
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
  // The edit of the cell left, its rewriting included, is one undo step.
  CommitCellEdit();
  table_.SetCurrentCell(column, row);
  TrackCurrentCell();
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

}  // namespace lumaq
