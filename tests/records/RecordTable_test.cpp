#include "records/RecordTable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "records/RecordLine.h"
#include "support/RecordingProgress.h"

namespace lumaq {
namespace {

using Cells = std::vector<std::string>;
using test::RecordingProgress;

JobText NumberedLines(int count) {
  JobText lines;
  for (int i = 1; i <= count; ++i)
    lines.push_back(ComposeRecordLine("P" + std::to_string(i), "C", std::to_string(i), "2", "3"));
  return lines;
}

void SetRow(RecordTable& table, int row, const Cells& cells) {
  for (int column = 0; column < kColumnCount; ++column) {
    table.SetCell(column, row, cells[static_cast<std::size_t>(column)]);
  }
}

Cells RowCells(const RecordTable& table, int row) {
  Cells cells;
  for (int column = 0; column < kColumnCount; ++column) cells.push_back(table.Cell(column, row));
  return cells;
}

TEST(RecordTable, StartsWithHeaderAnd3000EmptyRows) {
  RecordTable table;
  EXPECT_EQ(table.RowCount(), 3001);
  EXPECT_EQ(RowCells(table, 0),
            (Cells{"  点    号", "      N", "      E", "      Z", "  特 征 码"}));
  EXPECT_EQ(RowCells(table, 3000), Cells(5));
}

TEST(FillTableFromJobText, PutsLineFieldsIntoTableColumns) {
  RecordTable table;
  RecordingProgress progress;
  table.SetCell(kColName, 3, "KEEP");
  table.FillTableFromJobText(
      {"P1       C1       100.000     200.000     10.000      ", "P2       C2         "}, progress);
  EXPECT_EQ(RowCells(table, 1), (Cells{"P1", "100.000", "200.000", "10.000", "C1"}));
  EXPECT_EQ(RowCells(table, 2), (Cells{"P2", "", "", "", "C2"}));
  EXPECT_EQ(table.Cell(kColName, 3), "KEEP");  // rows past the last line are not touched
  EXPECT_TRUE(progress.events.empty());
}

TEST(FillTableFromJobText, RowCountFollowsJobsOf3000LinesOrMore) {
  RecordTable table;
  RecordingProgress progress;
  const struct {
    int lines, rowCount;
  } steps[] = {{2999, 3001}, {3000, 3001}, {5000, 5001}, {4000, 4001}, {100, 4001}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.lines);
    table.FillTableFromJobText(NumberedLines(step.lines), progress);
    EXPECT_EQ(table.RowCount(), step.rowCount);
    EXPECT_EQ(table.Cell(kColName, step.lines), "P" + std::to_string(step.lines));
  }
}

TEST(FillTableFromJobText, FillOfMoreThan1000LinesReportsEveryHundredRows) {
  RecordTable table;
  RecordingProgress progress(&table);
  table.FillTableFromJobText(NumberedLines(1250), progress);
  std::vector<std::string> expected{"text:正在装入记录数据..."};
  for (int row = 1; row <= 1201; row += 100)  // each row is filled before the window repaints
    expected.push_back("process:" + std::to_string(row) + ":P" + std::to_string(row));
  expected.push_back("text:");
  EXPECT_EQ(progress.events, expected);
  EXPECT_EQ(table.CurrentRow(), 1201);

  RecordingProgress quiet(&table);
  table.FillTableFromJobText(NumberedLines(1000), quiet);
  EXPECT_TRUE(quiet.events.empty());
}

TEST(BuildJobTextFromTable, ComposesUsedRowsInRowOrderAndLeavesTableAlone) {
  RecordTable table;
  SetRow(table, 1, {"P1", "100.000", "200.000", "10.000", "C1"});
  SetRow(table, 3, {"P3", "1.0", "", "3.0", "C3"});  // no E: not a record
  SetRow(table, 4, {"P4", "1.0", "2.0", "", ""});
  SetRow(table, 6, {" p6", "123456789.0123", " 2.5", "-1234567.8901", " c6 "});
  SetRow(table, 7, {" ", "1", "2", "3", "C7"});  // blank name: not a record
  SetRow(table, 8, {"ABCDEFGHIJ", "1", "2", "3", ""});
  table.SetCurrentCell(kColE, 4);
  std::vector<Cells> before;
  for (int row = 0; row <= 9; ++row) before.push_back(RowCells(table, row));

  RecordingProgress progress;
  EXPECT_EQ(table.BuildJobTextFromTable(progress),
            (JobText{
                "P1       C1       100.000     200.000     10.000      ",
                "P4                1.0         2.0         0.000       ",
                " p6       c6      123456789.0  2.5        -1234567.89 ",
                "ABCDEFGHIJ         1           2           3           ",
            }));
  for (int row = 0; row <= 9; ++row) {
    EXPECT_EQ(RowCells(table, row), before[static_cast<std::size_t>(row)]) << row;
  }
  EXPECT_EQ(table.CurrentRow(), 4);
  EXPECT_EQ(progress.events, std::vector<std::string>{"text:"});
}

TEST(BuildJobTextFromTable, ReportsOnceAt1000LinesAndStopsAtRow15999) {
  const std::vector<std::string> reported{"text:正在处理记录数据...", "process:0:", "text:"};
  const struct {
    int records;
    std::size_t lines;
    std::vector<std::string> events;
  } cases[] = {{999, 999, {"text:"}}, {1000, 1000, reported}, {16001, 15999, reported}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.records);
    RecordTable table;
    RecordingProgress fill, progress;
    table.FillTableFromJobText(NumberedLines(c.records), fill);
    const JobText text = table.BuildJobTextFromTable(progress);
    ASSERT_EQ(text.size(), c.lines);
    EXPECT_EQ(RecordLineName(text.back()), "P" + std::to_string(c.lines));
    EXPECT_EQ(table.CountRecords(), static_cast<int>(c.lines));
    EXPECT_EQ(progress.events, c.events);
  }
}

// Send names a record by its row, and says how many rows past 15999 it
// leaves out: the rows counted are the used ones alone.
TEST(RecordTable, RowOfRecordAndRecordsPastTheLimitCountUsedRowsOnly) {
  JobText lines = NumberedLines(16003);
  lines[1] = "";                                             // row 2: empty
  lines[3] = ComposeRecordLine("", "C", "1", "2", "3");      // row 4: no name
  lines[16000] = ComposeRecordLine("Q", "C", "", "2", "3");  // row 16001: no N
  RecordTable table;
  NoProgress progress;
  table.FillTableFromJobText(lines, progress);
  const struct {
    int record;
    int row;
  } cases[] = {{1, 1}, {2, 3}, {3, 5}, {15997, 15999}, {15998, 0}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    EXPECT_EQ(table.RowOfRecord(c.record), c.row);
  }
  EXPECT_EQ(table.CountRecordsPastLimit(), 3);  // rows 16000, 16002 and 16003
}

TEST(FindPointByName, SearchesOnwardFromTheCurrentRowAndWraps) {
  RecordTable table;
  const std::pair<int, const char*> names[] = {{1, "PT1"},  {2, "pt2"},  {4, "Pt1"},
                                               {5, "PT9 "}, {7, "ONLY"}, {3000, "LAST"}};
  for (const auto& [row, name] : names) table.SetCell(kColName, row, name);
  const struct {
    const char* text;
    int fromRow, found;
  } cases[] = {
      {"pt1", 1, 4},        {"PT1", 4, 1},         // wraps past the last row to row 1
      {"pt2", 3000, 2},     {"only", 7, 7},        // the current row only after a full cycle
      {"last", 3000, 3000}, {"pt9", 1, 0},         // names are compared untrimmed
      {"nope", 5, 0},       {"  点    号", 1, 0},  // the header is never searched
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    table.SetCurrentCell(kColZ, c.fromRow);
    EXPECT_EQ(table.FindNextPointByName(c.text), c.found);
    EXPECT_EQ(table.CurrentRow(), c.fromRow);  // looking does not move
    EXPECT_EQ(table.FindPointByName(c.text), c.found);
    EXPECT_EQ(table.CurrentRow(), c.found ? c.found : c.fromRow);
    EXPECT_EQ(table.CurrentColumn(), c.found ? kColName : kColZ);
  }
}

TEST(RecordTable, ClearingEmptiesCellsButKeepsRowsAndHeader) {
  RecordTable table;
  RecordingProgress progress;
  table.FillTableFromJobText(NumberedLines(5000), progress);
  table.SetCurrentCell(kColE, 2);
  table.ClearCurrentRecord();
  EXPECT_EQ(RowCells(table, 2), Cells(5));
  EXPECT_EQ(RowCells(table, 3), (Cells{"P3", "3", "2", "3", "C"}));  // rows do not move up
  EXPECT_EQ(table.CountRecords(), 4999);

  table.ClearTable();
  EXPECT_EQ(table.RowCount(), 5001);
  EXPECT_EQ(table.Cell(kColName, 0), "  点    号");
  EXPECT_EQ(RowCells(table, 5000), Cells(5));
  EXPECT_EQ(table.CountRecords(), 0);
}

TEST(RecordTable, UsedRowsNeedNameNAndEAndOtherRowsWithTextAreLeftOut) {
  const struct {
    Cells cells;
    bool used, leftOut;
  } cases[] = {
      {{"P1", "1", "2", "3", "C"}, true, false},   {{"P1", "1", "2", "", ""}, true, false},
      {{" P1 ", " 1", "2 ", "", ""}, true, false}, {{"P1", "1", "", "3", "C"}, false, true},
      {{"P1", "", "2", "3", "C"}, false, true},    {{" \t", "1", "2", "3", "C"}, false, true},
      {{"", "", "", "", "C"}, false, true},        {{"", "", "", "", ""}, false, false},
      {{" ", "\t", "", " ", ""}, false, false},
  };
  RecordTable table;
  int expected = 0;
  int leftOut = 0;
  for (int row = 1; row <= static_cast<int>(std::size(cases)); ++row) {
    const auto& c = cases[row - 1];
    SetRow(table, row, c.cells);
    EXPECT_EQ(table.IsUsedRow(row), c.used) << row;
    expected += c.used;
    leftOut += c.leftOut;
  }
  EXPECT_EQ(table.CountRecords(), expected);
  EXPECT_EQ(table.CountLeftOutRows(), leftOut);
}

TEST(RecordTable, IdleRecountNeedsPendingFlagAndRowChange) {
  RecordTable table;
  SetRow(table, 1, {"P1", "1", "2", "", ""});
  SetRow(table, 2, {"P2", "1", "2", "", ""});
  int count = -1;
  EXPECT_FALSE(table.TakeIdleRecount(count));  // pending at start, but still on row 1
  table.SetCurrentCell(kColName, 2);
  ASSERT_TRUE(table.TakeIdleRecount(count));
  EXPECT_EQ(count, 2);
  EXPECT_FALSE(table.RecountPending());
  table.SetCurrentCell(kColName, 3);
  EXPECT_FALSE(table.TakeIdleRecount(count));  // moved, but nothing pending

  table.SetCurrentCell(kColName, 1);
  table.ClearCurrentRecord();
  table.SetRecountPending();
  ASSERT_TRUE(table.TakeIdleRecount(count));  // row 1 differs from row 2, counted last
  EXPECT_EQ(count, 1);
  table.SetRecountPending();
  EXPECT_FALSE(table.TakeIdleRecount(count));  // same row as the last count
  table.SetCurrentCell(kColName, 5);
  EXPECT_TRUE(table.TakeIdleRecount(count));
}

}  // namespace
}  // namespace lumaq
