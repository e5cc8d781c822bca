#include "records/RecordTable.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "records/RecordLine.h"

namespace lumaq {

const std::array<const char*, kColumnCount> kHeaderTexts = {"  点    号", "      N", "      E",
                                                            "      Z", "  特 征 码"};

namespace {

constexpr int kInitialRowCount = 3001;  // header row and 3000 data rows
constexpr int kLongFillLines = 1000;

constexpr const char* kLoadingText = "正在装入记录数据...";
constexpr const char* kProcessingText = "正在处理记录数据...";

const std::string kEmptyCell;
const RecordTable::Row kEmptyRow;

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i];
    const char y = b[i];
    if (x == y) continue;
    if (!IsAsciiLetter(x) || AsciiLower(x) != AsciiLower(y)) return false;
  }
  return true;
}

std::string CutTo11(const std::string& text) {
  return text.substr(0, 11);
}

}  // namespace

TableRow TableRowOfLine(std::string_view line) {
  return {RecordLineName(line), RecordLineN(line), RecordLineE(line), RecordLineZ(line),
          RecordLineCode(line)};
}

bool IsRecordRow(const TableRow& row) {
  return !TrimControl(row[kColName]).empty() && !TrimControl(row[kColN]).empty() &&
         !TrimControl(row[kColE]).empty();
}

std::string RecordLineOfRow(const TableRow& row) {
  const std::string z = row[kColZ].empty() ? "0.000" : CutTo11(row[kColZ]);
  return ComposeRecordLine(row[kColName], row[kColCode], CutTo11(row[kColN]), CutTo11(row[kColE]),
                           z);
}

JobText SavedRecordLines(const JobText& lines) {
  JobText saved;
  for (const std::string& line : lines) {
    const TableRow row = TableRowOfLine(line);
    if (IsRecordRow(row)) saved.push_back(RecordLineOfRow(row));
  }
  return saved;
}

std::string RecordsLeftOutText(std::size_t count) {
  return "记录超过 " + std::to_string(kMaxRecords) + " 条，其余 " + std::to_string(count) +
         " 条未读入";
}

RecordTable::RecordTable() : rows_(1), rowCount_(kInitialRowCount) {
  rows_[0] = {kHeaderTexts[0], kHeaderTexts[1], kHeaderTexts[2], kHeaderTexts[3], kHeaderTexts[4]};
}

const std::string& RecordTable::Cell(int column, int row) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return kEmptyCell;
  if (static_cast<std::size_t>(row) >= rows_.size()) return kEmptyCell;
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void RecordTable::SetCell(int column, int row, std::string text) {
  if (!IsValidRow(row) || column < 0 || column >= kColumnCount) return;
  const auto index = static_cast<std::size_t>(row);
  if (index >= rows_.size()) {
    if (text.empty()) return;  // the row is empty already
    rows_.resize(index + 1);
  }
  rows_[index][static_cast<std::size_t>(column)] = std::move(text);
}

const RecordTable::Row& RecordTable::RowCells(int row) const {
  if (!IsValidRow(row) || static_cast<std::size_t>(row) >= rows_.size()) return kEmptyRow;
  return rows_[static_cast<std::size_t>(row)];
}

void RecordTable::SetRowCells(int row, Row cells) {
  if (!IsValidRow(row)) return;
  const auto index = static_cast<std::size_t>(row);
  if (index >= rows_.size()) {
    if (cells == kEmptyRow) return;  // the row is empty already
    rows_.resize(index + 1);
  }
  rows_[index] = std::move(cells);
}

void RecordTable::RestoreRowCount(int rowCount) {
  rowCount_ = std::max(rowCount, 2);
  if (rows_.size() > static_cast<std::size_t>(rowCount_)) {
    rows_.resize(static_cast<std::size_t>(rowCount_));
  }
  currentRow_ = std::min(currentRow_, RowCount() - 1);
}

void RecordTable::SetCurrentCell(int column, int row) {
  currentColumn_ = std::clamp(column, 0, kColumnCount - 1);
  currentRow_ = std::clamp(row, 1, RowCount() - 1);
}

bool RecordTable::IsUsedRow(int row) const {
  return IsRecordRow(RowCells(row));
}

void RecordTable::ClearTable() {
  rows_.resize(1);
}

int RecordTable::LastScannedRow() const {
  return std::min({kMaxRecords, RowCount() - 1, static_cast<int>(rows_.size()) - 1});
}

void RecordTable::FillTableFromJobText(const JobText& text, ProgressSink& progress) {
  const int lines = static_cast<int>(text.size());
  if (lines + 1 >= kInitialRowCount && RowCount() != lines + 1) {
    rowCount_ = lines + 1;
    if (rows_.size() > text.size() + 1) rows_.resize(text.size() + 1);
    currentRow_ = std::min(currentRow_, RowCount() - 1);
  }
  if (rows_.size() < text.size() + 1) rows_.resize(text.size() + 1);
  const bool longFill = lines > kLongFillLines;
  if (longFill) progress.SetProgressText(kLoadingText);
  for (int i = 0; i < lines; ++i) {
    rows_[static_cast<std::size_t>(i) + 1] = TableRowOfLine(text[static_cast<std::size_t>(i)]);
    if (longFill && i % 100 == 0) {
      currentRow_ = i + 1;
      progress.ProcessMessages();
    }
  }
  if (longFill) progress.SetProgressText("");
}

JobText RecordTable::BuildJobTextFromTable(ProgressSink& progress) const {
  JobText text;
  const int lastRow = LastScannedRow();
  for (int r = 1; r <= lastRow; ++r) {
    const Row& row = rows_[static_cast<std::size_t>(r)];
    if (!IsRecordRow(row)) continue;
    text.push_back(RecordLineOfRow(row));
    if (text.size() == static_cast<std::size_t>(kLongFillLines)) {
      progress.SetProgressText(kProcessingText);
      progress.ProcessMessages();
    }
  }
  progress.SetProgressText("");
  return text;
}

int RecordTable::RowOfRecord(int count) const {
  const int lastRow = LastScannedRow();
  for (int r = 1, seen = 0; r <= lastRow; ++r) {
    if (IsUsedRow(r) && ++seen == count) return r;
  }
  return 0;
}

int RecordTable::CountRecordsPastLimit() const {
  int count = 0;
  const int lastRow = std::min(RowCount() - 1, static_cast<int>(rows_.size()) - 1);
  for (int r = kMaxRecords + 1; r <= lastRow; ++r) {
    if (IsUsedRow(r)) ++count;
  }
  return count;
}

int RecordTable::FindPointByName(std::string_view text) {
  const int found = FindNextPointByName(text);
  if (found != 0) {
    currentRow_ = found;
    currentColumn_ = kColName;
  }
  return found;
}

int RecordTable::FindNextPointByName(std::string_view text) const {
  int r = currentRow_;
  for (int k = 0; k < RowCount(); ++k) {
    ++r;
    if (r >= RowCount()) r = 1;
    if (EqualsIgnoringCase(Cell(kColName, r), text)) return r;
  }
  return 0;
}

void RecordTable::ClearCurrentRecord() {
  if (!IsValidRow(currentRow_) || static_cast<std::size_t>(currentRow_) >= rows_.size()) return;
  for (auto& cell : rows_[static_cast<std::size_t>(currentRow_)]) cell.clear();
}

int RecordTable::CountRecords() const {
  const int lastRow = LastScannedRow();
  int count = 0;
  for (int r = 1; r <= lastRow; ++r) {
    if (IsUsedRow(r)) ++count;
  }
  return count;
}

int RecordTable::CountLeftOutRows() const {
  const int lastRow = LastScannedRow();
  int count = 0;
  for (int r = 1; r <= lastRow; ++r) {
    if (IsUsedRow(r)) continue;
    const Row& row = rows_[static_cast<std::size_t>(r)];
    if (std::any_of(row.begin(), row.end(),
                    [](const std::string& cell) { return !TrimControl(cell).empty(); })) {
      ++count;
    }
  }
  return count;
}

bool RecordTable::TakeIdleRecount(int& count) {
  if (!recountPending_ || currentRow_ == lastCountedRow_) return false;
  lastCountedRow_ = currentRow_;
  count = CountRecords();
  recountPending_ = false;
  return true;
}

}  // namespace lumaq
