// The records and cells of the table: undo and redo, Find leaving the current
// cell, and status panel 2 following the current row.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/MainCommands.h"
#include "records/CellInput.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/HeadlessWindow.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::TempDir;

std::string RecordLines(int count) {
  JobText lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(ComposeRecordLine("P" + std::to_string(i), "C", std::to_string(i), "200", "1"));
  }
  return JoinLinesCrLf(lines);
}

// The table's first rows, its current cell and the job text.
struct Shown {
  std::vector<RecordTable::Row> rows;
  int column, row;
  JobText text;
};

class MainRecordCommandsTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override {
    commands.StartUp({});
    dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", RecordLines(5)), 1});
    commands.MenuJobOpenClick();
  }

  Shown Now() const {
    Shown shown{{}, table.CurrentColumn(), table.CurrentRow(), job.JobText};
    for (int r = 1; r <= 8; ++r) shown.rows.push_back(table.RowCells(r));
    return shown;
  }

  // The user types text into a cell, as the grid's editor puts it there.
  void Type(int column, int row, const std::string& text) {
    ASSERT_TRUE(commands.StringGrid1SelectCell(column, row));
    commands.StringGrid1KeyDown(false);
    table.SetCell(column, row, text);
  }

  TempDir dir;
};

TEST_F(MainRecordCommandsTest, UndoAndRedoEveryKindOfChange) {
  const std::string scs = dir.Write("in.dat", "1\r\nP1\r\nTREE\r\n1\r\n2\r\n3\r\nE\r\n");
  const auto nothing = [] {};
  const struct {
    const char* label;
    std::function<void()> prepare, change;
  } changes[] = {
      {"a cell edit, normalised when left", nothing,
       [&] {
         Type(kColN, 2, "012.500");
         ASSERT_TRUE(commands.StringGrid1SelectCell(kColE, 2));
       }},
      {"a cell edit not yet left", nothing, [&] { Type(kColName, 4, "NEW"); }},
      {"Delete", nothing,
       [&] {
         ASSERT_TRUE(commands.StringGrid1SelectCell(kColE, 3));
         dialogs.NextMessageAnswer(MessageResult::kYes);
         commands.Button_DelClick();
       }},
      {"Clear", nothing, [&] { commands.Button_ClearClick(); }},
      {"Tidy",
       [&] {
         table.SetRowCells(7, {"P7", "7", "7", "", ""});
       },
       [&] { commands.Button_SortClick(); }},
      {"Import", nothing,
       [&] {
         dialogs.NextOpenAnswer(FileChoice{scs, 2});
         exchange.MenuJobImportClick();
       }},
  };
  for (const auto& c : changes) {
    SCOPED_TRACE(c.label);
    c.prepare();
    ASSERT_TRUE(commands.StringGrid1SelectCell(kColZ, 5));
    const Shown before = Now();
    job.Modified = false;
    c.change();
    EXPECT_TRUE(commands.CanUndo());
    // Find moves the current cell but is no change of the table.
    commands.Button_FindClick("P1");
    const Shown after = Now();
    ASSERT_NE(before.rows, after.rows);
    EXPECT_FALSE(commands.CanRedo());

    commands.Undo();
    EXPECT_EQ(Now().rows, before.rows);
    EXPECT_EQ(Now().text, before.text);
    EXPECT_TRUE(job.Modified) << "an undone change is a change not saved";
    EXPECT_TRUE(commands.CanRedo());
    commands.Redo();
    EXPECT_EQ(Now().rows, after.rows);
    EXPECT_EQ(Now().text, after.text);
    EXPECT_FALSE(commands.CanRedo());
    commands.Undo();
    EXPECT_EQ(Now().rows, before.rows);
  }
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainRecordCommandsTest, UndoShowsTheCountAndTheRowOfTheRestoredTable) {
  ASSERT_TRUE(commands.StringGrid1SelectCell(kColE, 4));
  commands.Button_ClearClick();
  EXPECT_EQ(view.panels[StatusPanel::kCount], "点号总数:0");
  commands.Undo();
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:5");
  EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:4");
  EXPECT_EQ(table.CurrentColumn(), kColE);
  commands.Redo();
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:0");
  EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:1");
}

TEST_F(MainRecordCommandsTest, ANewJobOrTheMeasurementViewHasNothingToUndo) {
  EXPECT_FALSE(commands.CanUndo()) << "a job just opened";
  commands.Button_ClearClick();
  dialogs.NextOpenAnswer(FileChoice{dir.Write("NOTES.TXT", "text\r\n"), 3});
  commands.MenuJobOpenClick();
  EXPECT_FALSE(commands.CanUndo());
  commands.Undo();  // the text view has no table
  EXPECT_EQ(job.JobText, JobText{"text"});
  commands.MenuJobNewClick();
  EXPECT_FALSE(commands.CanUndo());
  commands.Undo();  // the cleared records belonged to the job opened before
  EXPECT_EQ(table.CountRecords(), 0);
  EXPECT_FALSE(job.Modified);
}

// A cell being typed in can be undone before it is left, and leaves nothing
// to redo: its edit becomes the newest step.
TEST_F(MainRecordCommandsTest, TypingInACellMakesUndoPossibleAndRedoNot) {
  commands.Button_ClearClick();
  commands.Undo();
  ASSERT_TRUE(commands.CanRedo());
  Type(kColName, 2, "NEW");
  EXPECT_TRUE(commands.CanUndo());
  EXPECT_FALSE(commands.CanRedo());
  table.SetCell(kColName, 2, "P2");  // typed back as it was
  EXPECT_TRUE(commands.CanRedo());
}

TEST_F(MainRecordCommandsTest, FindLeavesTheCurrentCellThroughTheLeaveCellCheck) {
  const struct {
    const char* label;
    int column;
    const char* typed;
    bool moves;
    const char* kept;
  } cases[] = {
      {"a name of 10 characters is cut to 8", kColName, "ABCDEFGHIJ", true, "ABCDEFGH"},
      {"a coordinate is normalised", kColE, "007.50", true, "7.5"},
      {"an N out of range keeps the cell current", kColN, "99999999", false, "99999999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Type(c.column, 3, c.typed);
    dialogs.messages.clear();
    if (!c.moves) dialogs.NextMessageAnswer(MessageResult::kOk);
    const int focus = view.tableFocus;
    commands.Button_FindClick("P5");
    EXPECT_EQ(table.Cell(c.column, 3), c.kept);
    EXPECT_EQ(table.CurrentRow(), c.moves ? 5 : 3);
    EXPECT_EQ(table.CurrentColumn(), c.moves ? kColName : c.column);
    EXPECT_EQ(view.panels[StatusPanel::kRow], c.moves ? "当前行:5" : "当前行:3");
    EXPECT_EQ(view.tableFocus, focus + 1);
    ASSERT_EQ(dialogs.messages.size(), c.moves ? 0u : 1u);
    if (!c.moves) {
      EXPECT_EQ(dialogs.messages[0].text, kRangeMessage);
    }
    table.SetCell(c.column, 3, "3");
  }
}

TEST_F(MainRecordCommandsTest, StatusPanel2FollowsTheCurrentRowAfterLongFills) {
  const struct {
    const char* label;
    std::function<void()> run;
    const char* shown;
  } cases[] = {
      {"Tidy of 1050 records",
       [&] {
         table.FillTableFromJobText(SplitTextLines(RecordLines(1050)), view);
         ASSERT_TRUE(commands.StringGrid1SelectCell(kColName, 5));
         commands.Button_SortClick();
       },
       "当前行:1001"},
      {"Tidy of 4000 records in a grid of 5000 rows, from row 4990",
       [&] {
         table.FillTableFromJobText(SplitTextLines(RecordLines(5000)), view);
         for (int r = 4001; r <= 5000; ++r) {
           for (int column = 0; column < kColumnCount; ++column) table.SetCell(column, r, "");
         }
         ASSERT_TRUE(commands.StringGrid1SelectCell(kColName, 4990));
         commands.Button_SortClick();
       },
       "当前行:3901"},
      {"the command line open of 1050 records",
       [&] { commands.StartUp({dir.Write("LONG.BDT", RecordLines(1050))}); }, "当前行:1001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    c.run();
    EXPECT_EQ(view.panels[StatusPanel::kRow], c.shown);
    EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:" + std::to_string(table.CurrentRow()));
  }
}

}  // namespace
}  // namespace lumaq
