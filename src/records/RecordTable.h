// The editable record table: five text columns (name, N, E, Z, code) over a
// header row, the operations that move records between it and the job text,
// and the record count it keeps for the status bar.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/TextLines.h"

namespace lumaq {

enum Column : int { kColName = 0, kColN = 1, kColE = 2, kColZ = 3, kColCode = 4 };
inline constexpr int kColumnCount = 5;

inline constexpr int kMaxRecords = 15999;

// What the user is told when count records of a file were left out by
// kMaxRecords: "记录超过 15999 条，其余 N 条未读入".
std::string RecordsLeftOutText(std::size_t count);

// Header texts of row 0.
extern const std::array<const char*, kColumnCount> kHeaderTexts;

// Where long table operations report progress: the window shows a text in
// status panel 0 and runs its pending messages (showing the table's current
// cell while it does).
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetProgressText(const std::string& text) = 0;
  virtual void ProcessMessages() = 0;
};

// For callers without a window: reports nothing.
class NoProgress : public ProgressSink {
 public:
  void SetProgressText(const std::string&) override {}
  void ProcessMessages() override {}
};

// One row of the table: name, N, E, Z, code.
using TableRow = std::array<std::string, kColumnCount>;

// The steps that move one record between the job text and the table, for
// those who follow a record file through Open and the compaction of the
// table one line at a time (RecordFileReader):
// the row a record line fills, its fields read from their columns;
TableRow TableRowOfLine(std::string_view line);
// whether a row is a record: name, N and E all non-empty after trimming;
bool IsRecordRow(const TableRow& row);
// the record line a record row gives the job text: N, E and Z cut to 11
// characters, an empty Z written as "0.000".
std::string RecordLineOfRow(const TableRow& row);
// The record lines the table saves once filled from lines, without its limit
// of 15999 rows: each record row of a line as RecordLineOfRow gives it.
JobText SavedRecordLines(const JobText& lines);

class RecordTable {
 public:
  using Row = TableRow;

  RecordTable();

  int RowCount() const { return rowCount_; }

  // Row 0 gives the header texts; rows past the row count read as empty.
  const std::string& Cell(int column, int row) const;
  void SetCell(int column, int row, std::string text);
  // The five cells of a row at once (name, N, E, Z, code).
  const Row& RowCells(int row) const;
  void SetRowCells(int row, Row cells);
  // Undo and redo put back the row count a change left: rows past it go,
  // new rows are empty. Otherwise only FillTableFromJobText sets it.
  void RestoreRowCount(int rowCount);

  int CurrentRow() const { return currentRow_; }
  int CurrentColumn() const { return currentColumn_; }
  void SetCurrentCell(int column, int row);

  // Name, N and E all non-empty after trimming.
  bool IsUsedRow(int row) const;

  // Empties every data cell; header and row count stay.
  void ClearTable();

  // Row i + 1 takes the fields of line i. Jobs of 3000 lines or more set the
  // row count to lines + 1; longer than 1000 lines report progress every 100.
  void FillTableFromJobText(const JobText& text, ProgressSink& progress);

  // One record line per used row among rows 1..15999 (RecordLineOfRow). The
  // table is not changed.
  JobText BuildJobTextFromTable(ProgressSink& progress) const;
  // The row of the count-th used row among rows 1..15999, the row its line
  // of BuildJobTextFromTable came from; 0 when there is none.
  int RowOfRecord(int count) const;
  // Used rows past row 15999, which BuildJobTextFromTable leaves out.
  int CountRecordsPastLimit() const;

  // The next row after the current one (wrapping to row 1) whose name equals
  // text ignoring letter case; it becomes current in column 0. 0 when none.
  int FindPointByName(std::string_view text);
  // The row FindPointByName would find, without moving the current cell.
  int FindNextPointByName(std::string_view text) const;

  void ClearCurrentRecord();

  // Used rows among rows 1..15999.
  int CountRecords() const;
  // Rows among 1..15999 that hold some text but are no record, because the
  // name, N or E is empty: building the job text leaves them out.
  int CountLeftOutRows() const;

  // The rows that scans look at: 1..min(15999, row count - 1, last stored).
  int LastScannedRow() const;

  // Idle recount bookkeeping: set by every key in the table and by Delete.
  bool RecountPending() const { return recountPending_; }
  void SetRecountPending() { recountPending_ = true; }
  // When a recount is pending and the current row moved since the last count,
  // counts the records and returns true.
  bool TakeIdleRecount(int& count);

 private:
  bool IsValidRow(int row) const { return row > 0 && row < RowCount(); }

  // rows_[0] is the header row. Only the rows up to the last one given a
  // text are stored; the rows after it up to the row count are empty. So a
  // short job in the table of 3000 rows costs what its own rows cost.
  std::vector<Row> rows_;
  int rowCount_;
  int currentRow_ = 1;
  int currentColumn_ = 0;
  bool recountPending_ = true;
  int lastCountedRow_ = 1;
};

}  // namespace lumaq
