#include "records/TableHistory.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace lumaq {
namespace {

// A text packed as its length (7 bits a byte, low bits first) and its bytes.
void PackText(std::string& out, std::string_view text) {
  std::size_t length = text.size();
  while (length >= 0x80) {
    out.push_back(static_cast<char>((length & 0x7F) | 0x80));
    length >>= 7;
  }
  out.push_back(static_cast<char>(length));
  out.append(text);
}

std::string UnpackText(std::string_view& in) {
  std::size_t length = 0;
  for (unsigned shift = 0; !in.empty(); shift += 7) {
    const auto byte = static_cast<unsigned char>(in.front());
    in.remove_prefix(1);
    length |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) break;
  }
  std::string text(in.substr(0, length));
  in.remove_prefix(text.size());
  return text;
}

void PackRow(std::string& out, const RecordTable::Row& row) {
  for (const std::string& cell : row) PackText(out, cell);
}

RecordTable::Row UnpackRow(std::string_view& in) {
  RecordTable::Row row;
  for (std::string& cell : row) cell = UnpackText(in);
  return row;
}

std::string PackLines(const JobText& text) {
  std::string packed;
  for (const std::string& line : text) PackText(packed, line);
  return packed;
}

JobText UnpackLines(std::string_view in) {
  JobText text;
  while (!in.empty()) text.push_back(UnpackText(in));
  return text;
}

}  // namespace

TableHistory::Before::Before(const RecordTable& table, const JobText& text)
    : currentColumn_(table.CurrentColumn()), currentRow_(table.CurrentRow()), text_(text) {
  rows_.reserve(static_cast<std::size_t>(table.RowCount() - 1));
  for (int r = 1; r < table.RowCount(); ++r) rows_.push_back(table.RowCells(r));
}

std::size_t TableHistory::Step::Bytes() const {
  return sizeof(Step) + rows.capacity() * sizeof(int) + cells.capacity() + lines.capacity();
}

void TableHistory::Record(const Before& before, const RecordTable& table, const JobText& text) {
  static const RecordTable::Row kEmptyRow;
  Step step;
  const int rowsBefore = static_cast<int>(before.rows_.size()) + 1;
  const int lastRow = std::max(rowsBefore, table.RowCount());
  for (int r = 1; r < lastRow; ++r) {
    const RecordTable::Row& was =
        r < rowsBefore ? before.rows_[static_cast<std::size_t>(r) - 1] : kEmptyRow;
    if (was == table.RowCells(r)) continue;
    step.rows.push_back(r);
    PackRow(step.cells, was);
  }
  if (before.text_ != text) {
    step.textChanged = true;
    step.lines = PackLines(before.text_);
  }
  if (step.rows.empty() && !step.textChanged) return;
  step.rowCount[kBefore] = rowsBefore;
  step.rowCount[kAfter] = table.RowCount();
  step.current[kBefore] = {before.currentColumn_, before.currentRow_};
  step.current[kAfter] = {table.CurrentColumn(), table.CurrentRow()};
  Push(std::move(step));
}

void TableHistory::RecordCellEdit(int column, int row, const std::string& beforeText,
                                  const RecordTable& table) {
  RecordTable::Row was = table.RowCells(row);
  if (column < 0 || column >= kColumnCount || row < 1 || row >= table.RowCount() ||
      was[static_cast<std::size_t>(column)] == beforeText) {
    return;
  }
  was[static_cast<std::size_t>(column)] = beforeText;
  Step step;
  step.rows.push_back(row);
  PackRow(step.cells, was);
  step.rowCount[kBefore] = step.rowCount[kAfter] = table.RowCount();
  step.current[kBefore] = step.current[kAfter] = {column, row};
  Push(std::move(step));
}

void TableHistory::Push(Step step) {
  for (const Step& undone : redo_) bytes_ -= undone.Bytes();
  redo_.clear();
  step.rows.shrink_to_fit();
  step.cells.shrink_to_fit();
  step.lines.shrink_to_fit();
  bytes_ += step.Bytes();
  undo_.push_back(std::move(step));
  while (undo_.size() > 1 && (undo_.size() > kMaxSteps || bytes_ > kMaxBytes)) DropOldest();
}

void TableHistory::DropOldest() {
  bytes_ -= undo_.front().Bytes();
  undo_.pop_front();
}

bool TableHistory::Undo(RecordTable& table, JobText& text) {
  if (undo_.empty()) return false;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  bytes_ -= step.Bytes();
  Apply(step, kBefore, table, text);
  bytes_ += step.Bytes();
  redo_.push_back(std::move(step));
  // A step undone may hold more than before (an import into an empty table):
  // the oldest steps make room.
  while (!undo_.empty() && bytes_ > kMaxBytes) DropOldest();
  return true;
}

bool TableHistory::Redo(RecordTable& table, JobText& text) {
  if (redo_.empty()) return false;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  bytes_ -= step.Bytes();
  Apply(step, kAfter, table, text);
  bytes_ += step.Bytes();
  undo_.push_back(std::move(step));
  while (undo_.size() > 1 && bytes_ > kMaxBytes) DropOldest();
  return true;
}

void TableHistory::Apply(Step& step, Side side, RecordTable& table, JobText& text) {
  std::string shown;
  for (const int r : step.rows) PackRow(shown, table.RowCells(r));
  table.RestoreRowCount(step.rowCount[side]);
  std::string_view in = step.cells;
  for (const int r : step.rows) table.SetRowCells(r, UnpackRow(in));
  shown.shrink_to_fit();
  step.cells = std::move(shown);
  if (step.textChanged) {
    std::string shownLines = PackLines(text);
    shownLines.shrink_to_fit();
    text = UnpackLines(step.lines);
    step.lines = std::move(shownLines);
  }
  table.SetCurrentCell(step.current[side].column, step.current[side].row);
}

void TableHistory::Clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

}  // namespace lumaq
