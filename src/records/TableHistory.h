// Undo and redo of the record table: every change the user makes to the table
// (a cell edit, Delete, Clear, Tidy, Import) is one step. A step keeps only the
// rows that changed, packed into one string, and the job text only when the
// change replaced it (Save and Send also compact the table into the job text,
// so a step holds the text whole rather than a difference to it). Clearing a
// full table of 15999 records costs some 80 bytes a record (its cells and its
// line), a cell edit some 150 bytes: never a copy of the whole table. The
// history keeps the newest steps within kMaxSteps and kMaxBytes (some 90 steps
// that each clear or fill a full table); the newest step is kept whatever its
// size.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "records/RecordTable.h"
#include "records/TextLines.h"

namespace lumaq {

class TableHistory {
 public:
  static constexpr std::size_t kMaxSteps = 500;
  static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

  // The table and the job text as they were before a change.
  class Before {
   public:
    Before(const RecordTable& table, const JobText& text);

   private:
    friend class TableHistory;
    std::vector<RecordTable::Row> rows_;  // rows_[0] is table row 1
    int currentColumn_;
    int currentRow_;
    JobText text_;
  };

  // The change from before to the table and job text as they are now, as one
  // step; nothing when they are the same. Drops what could be redone.
  void Record(const Before& before, const RecordTable& table, const JobText& text);
  // The edit of one cell, which held beforeText and now holds what the table
  // shows.
  void RecordCellEdit(int column, int row, const std::string& beforeText, const RecordTable& table);

  // Takes the table, its current cell and the job text back to before the last
  // step, or forward to after the step last undone. False when there is none.
  bool Undo(RecordTable& table, JobText& text);
  bool Redo(RecordTable& table, JobText& text);

  void Clear();
  std::size_t UndoSteps() const { return undo_.size(); }
  std::size_t RedoSteps() const { return redo_.size(); }
  // What the steps hold, in bytes.
  std::size_t Bytes() const { return bytes_; }

 private:
  struct CellPosition {
    int column = 0;
    int row = 1;
  };
  // One step. The changed rows and the job text are held in the state the
  // table is not in: before the change while it can be undone, after it once
  // undone.
  struct Step {
    std::vector<int> rows;  // the changed rows, ascending
    std::string cells;      // their cells, packed
    int rowCount[2] = {0, 0};
    CellPosition current[2];
    bool textChanged = false;
    std::string lines;  // the job text, packed, when the change replaced it
    std::size_t Bytes() const;
  };
  enum Side { kBefore = 0, kAfter = 1 };

  void Push(Step step);
  void DropOldest();
  static void Apply(Step& step, Side side, RecordTable& table, JobText& text);

  std::deque<Step> undo_;
  std::vector<Step> redo_;
  std::size_t bytes_ = 0;
};

}  // namespace lumaq
