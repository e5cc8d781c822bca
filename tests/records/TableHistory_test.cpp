#include "records/TableHistory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "records/RecordLine.h"

namespace lumaq {
namespace {

// Everything of the table and job text that undo and redo restore.
struct State {
  std::vector<RecordTable::Row> rows;  // rows 1 to the row count minus 1
  int column = 0;
  int row = 0;
  JobText text;

  State(const RecordTable& table, const JobText& jobText)
      : column(table.CurrentColumn()), row(table.CurrentRow()), text(jobText) {
    for (int r = 1; r < table.RowCount(); ++r) rows.push_back(table.RowCells(r));
  }
  bool operator==(const State&) const = default;
};

void PrintTo(const State& state, std::ostream* out) {
  *out << state.rows.size() + 1 << " rows, current (" << state.column << ", " << state.row << "), "
       << state.text.size() << " lines";
}

JobText NumberedLines(int count, const std::string& prefix = "P") {
  JobText lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(
        ComposeRecordLine(prefix + std::to_string(i), "C", std::to_string(i), "2.5", "3.125"));
  }
  return lines;
}

struct Fixture {
  RecordTable table;
  JobText text;
  TableHistory history;
  NoProgress progress;

  // Runs change as one recorded step.
  void Change(const std::function<void()>& change) {
    const TableHistory::Before before(table, text);
    change();
    history.Record(before, table, text);
  }
};

TEST(TableHistory, UndoAndRedoRestoreEachKindOfChange) {
  const struct Case {
    const char* label;
    int startLines;
    std::function<void(Fixture&)> change;
  } cases[] = {
      {"a row emptied (Delete)", 5,
       [](Fixture& f) {
         f.table.SetCurrentCell(kColE, 3);
         f.table.ClearCurrentRecord();
       }},
      {"every row and the job text emptied (Clear)", 5,
       [](Fixture& f) {
         f.table.ClearTable();
         f.text.clear();
         f.table.SetCurrentCell(kColName, 1);
       }},
      {"records closed up (Tidy)", 6,
       [](Fixture& f) {
         f.table.SetRowCells(2, {});
         f.table.SetCell(kColZ, 4, "");
         f.text = f.table.BuildJobTextFromTable(f.progress);
         f.table.ClearTable();
         f.table.FillTableFromJobText(f.text, f.progress);
       }},
      {"more rows than the grid had (Import of 5000 lines)", 10,
       [](Fixture& f) {
         f.text = NumberedLines(5000, "N");
         f.table.ClearTable();
         f.table.FillTableFromJobText(f.text, f.progress);
         f.table.SetCurrentCell(kColName, 1);
       }},
      {"fewer rows than the grid had (Import of 3500 after 4000)", 4000,
       [](Fixture& f) {
         f.table.SetCurrentCell(kColCode, 3999);
         f.text = NumberedLines(3500, "N");
         f.table.ClearTable();
         f.table.FillTableFromJobText(f.text, f.progress);
         f.table.SetCurrentCell(kColName, 1);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Fixture f;
    f.text = NumberedLines(c.startLines);
    f.table.FillTableFromJobText(f.text, f.progress);
    f.table.SetCurrentCell(kColN, 2);
    const State before(f.table, f.text);
    f.Change([&] { c.change(f); });
    const State after(f.table, f.text);
    ASSERT_NE(before, after);

    EXPECT_TRUE(f.history.Undo(f.table, f.text));
    EXPECT_EQ(State(f.table, f.text), before);
    EXPECT_TRUE(f.history.Redo(f.table, f.text));
    EXPECT_EQ(State(f.table, f.text), after);
    EXPECT_TRUE(f.history.Undo(f.table, f.text));
    EXPECT_EQ(State(f.table, f.text), before);
    EXPECT_FALSE(f.history.Undo(f.table, f.text));
  }
}

TEST(TableHistory, CellEditsAreStepsOfTheirOwnAndANewStepDropsTheRedo) {
  Fixture f;
  const char* const typed[] = {"P1", "100.5", "200", "", "TREE"};
  for (int column = 0; column < kColumnCount; ++column) {
    f.table.SetCell(column, 1, typed[column]);
    f.history.RecordCellEdit(column, 1, "", f.table);
  }
  f.history.RecordCellEdit(kColZ, 1, "", f.table);  // nothing changed: no step
  EXPECT_EQ(f.history.UndoSteps(), 4u);

  ASSERT_TRUE(f.history.Undo(f.table, f.text));  // TREE
  ASSERT_TRUE(f.history.Undo(f.table, f.text));  // 200
  EXPECT_EQ(f.table.RowCells(1), (RecordTable::Row{"P1", "100.5", "", "", ""}));
  EXPECT_EQ(f.table.CurrentColumn(), kColE);  // the cell undone becomes current
  EXPECT_EQ(f.history.RedoSteps(), 2u);

  f.table.SetCell(kColName, 2, "P2");
  f.history.RecordCellEdit(kColName, 2, "", f.table);
  EXPECT_EQ(f.history.RedoSteps(), 0u);
  EXPECT_FALSE(f.history.Redo(f.table, f.text));
  ASSERT_TRUE(f.history.Undo(f.table, f.text));
  EXPECT_EQ(f.table.Cell(kColName, 2), "");
  EXPECT_EQ(f.table.Cell(kColN, 1), "100.5");
}

TEST(TableHistory, TextOfEveryByteSurvives) {
  Fixture f;
  const std::string long300(300, 'x');  // a length of more than one packed byte
  const std::string gb = "\xB5\xE3\xBA\xC5";
  f.text = {std::string("\0\r\n", 3), long300, gb, ""};
  f.table.SetRowCells(1, {gb, std::string("1\0", 2), long300, "", "\xFF"});
  const State before(f.table, f.text);
  f.Change([&] {
    f.table.ClearTable();
    f.text.clear();
  });
  ASSERT_TRUE(f.history.Undo(f.table, f.text));
  EXPECT_EQ(State(f.table, f.text), before);
}

TEST(TableHistory, KeepsAtLeast100StepsAndBoundsTheBytesOfAFullTable) {
  Fixture f;
  for (int i = 1; i <= 150; ++i) {
    f.table.SetCell(kColName, i, "P" + std::to_string(i));
    f.history.RecordCellEdit(kColName, i, "", f.table);
  }
  EXPECT_EQ(f.history.UndoSteps(), 150u);
  for (int i = 150; i >= 1; --i) ASSERT_TRUE(f.history.Undo(f.table, f.text)) << i;
  EXPECT_EQ(f.table.CountLeftOutRows(), 0);

  // A full table cleared and brought back again and again: every step holds
  // all 15999 records and their lines.
  f.history.Clear();
  const JobText full = NumberedLines(kMaxRecords);
  f.text = full;
  f.table.FillTableFromJobText(f.text, f.progress);
  for (int i = 0; i < 100; ++i) {
    f.Change([&] {
      f.table.ClearTable();
      f.text.clear();
    });
    f.Change([&] {
      f.text = full;
      f.table.FillTableFromJobText(f.text, f.progress);
    });
    ASSERT_LE(f.history.Bytes(), TableHistory::kMaxBytes);
  }
  EXPECT_GE(f.history.UndoSteps(), 80u);  // some 1.5 MB a step
  EXPECT_LT(f.history.UndoSteps(), 200u);
  // The oldest steps that remain still undo to a full or an empty table.
  while (f.history.Undo(f.table, f.text)) {
  }
  EXPECT_TRUE(f.table.CountRecords() == kMaxRecords || f.table.CountRecords() == 0);
}

}  // namespace
}  // namespace lumaq
