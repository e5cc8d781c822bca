// The record table's cell editor on the real window: where typed text goes,
// Escape, and where the focus stays after the range box.
#include "app/ui/RecordGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <variant>
#include <vector>

#include "app/ui/Zivoru_main.h"
#include "records/CellInput.h"
#include "support/ScriptedDialogs.h"

namespace lumaq {
namespace {

using test::ScriptedDialogs;

class RecordGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.FormCreate({}, /*showSplash=*/false);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  ui::RecordGrid* Grid() { return form.StringGrid1; }

  // The editor on the grid's current cell.
  QLineEdit* Editor() {
    auto* editor = qobject_cast<QLineEdit*>(Grid()->indexWidget(Grid()->currentIndex()));
    EXPECT_NE(editor, nullptr);
    return editor;
  }

  // A click on a cell that is not current, as the user makes it.
  void ClickCell(int column, int row) {
    const QModelIndex index = Grid()->model()->index(row - 1, column);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualRect(index).center());
  }

  void Type(const std::vector<std::variant<Qt::Key, const char*>>& keys) {
    for (const auto& key : keys) {
      if (std::holds_alternative<Qt::Key>(key)) {
        QTest::keyClick(Editor(), std::get<Qt::Key>(key));
      } else {
        QTest::keyClicks(Editor(), std::get<const char*>(key));
      }
    }
  }

  ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs};
};

TEST_F(RecordGridTest, TypingGoesInWhereTheCursorIs) {
  struct Case {
    const char* label;
    int column;
    const char* before;
    std::vector<std::variant<Qt::Key, const char*>> keys;
    const char* after;
  } cases[] = {
      {"at Home", kColN, "3020", {Qt::Key_Home, "12"}, "123020"},
      {"in the middle", kColN, "3020", {Qt::Key_Left, Qt::Key_Left, "5"}, "30520"},
      {"a refused key moves nothing", kColE, "3020", {Qt::Key_Home, "a b1"}, "13020"},
      {"after a deletion", kColZ, "3020", {Qt::Key_Home, Qt::Key_Delete, "7"}, "7020"},
      {"in a point name", kColName, "PT1", {Qt::Key_Home, Qt::Key_Right, "X-"}, "PX-T1"},
  };
  int row = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    form.Table().SetCell(c.column, row, c.before);
    form.RefreshTable();
    ClickCell(c.column, row);
    ASSERT_EQ(form.Table().CurrentRow(), row);
    ASSERT_EQ(Editor()->text().toStdString(), c.before);
    Type(c.keys);
    EXPECT_EQ(Editor()->text().toStdString(), c.after);
    EXPECT_EQ(form.Table().Cell(c.column, row), c.after);
    ++row;
  }
}

TEST_F(RecordGridTest, PastingInsertsTheAcceptedCharactersAtTheCursor) {
  form.Table().SetCell(kColN, 2, "3020");
  form.RefreshTable();
  ClickCell(kColN, 2);
  QApplication::clipboard()->setText("9 x8");
  QTest::keyClick(Editor(), Qt::Key_Home);
  QTest::keyClick(Editor(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClicks(Editor(), "1");
  EXPECT_EQ(form.Table().Cell(kColN, 2), "9813020");
}

TEST_F(RecordGridTest, EscapeRestoresTheTextFromBeforeTheEdit) {
  struct Case {
    const char* label;
    const char* before;
    std::vector<std::variant<Qt::Key, const char*>> keys;
  } cases[] = {
      {"typed at Home", "3020", {Qt::Key_Home, "12"}},
      {"emptied",
       "3020",
       {Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace}},
      {"nothing typed", "3020", {}},
      {"typed into an empty cell", "", {"1.5"}},
  };
  int row = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    form.Table().SetCell(kColE, row, c.before);
    form.RefreshTable();
    ClickCell(kColE, row);
    Type(c.keys);
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(Editor()->text().toStdString(), c.before);
    EXPECT_EQ(form.Table().Cell(kColE, row), c.before);
    // Selected whole, as when the cell was entered.
    EXPECT_EQ(Editor()->selectedText().toStdString(), c.before);
    QTest::keyClick(Editor(), Qt::Key_End);
    QTest::keyClicks(Editor(), "9");  // the editor still takes keys
    EXPECT_EQ(form.Table().Cell(kColE, row), std::string(c.before) + "9");
    ++row;
  }
}

TEST_F(RecordGridTest, EscapeAfterTheRangeBoxGivesTheOldValueBack) {
  form.Table().SetCell(kColN, 1, "3020");
  form.RefreshTable();
  QTest::keyClick(Editor(), Qt::Key_Return);  // on to N
  QTest::keyClicks(Editor(), "12345678");
  dialogs.NextMessageAnswer(MessageResult::kOk);
  QTest::keyClick(Editor(), Qt::Key_Return);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  QTest::keyClick(Editor(), Qt::Key_Escape);
  EXPECT_EQ(form.Table().Cell(kColN, 1), "3020");
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(form.Table().CurrentColumn(), kColE);
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

// After the range box the refused cell keeps the highlight and the focus,
// and what the user types next goes into it.
TEST_F(RecordGridTest, TheRefusedCellKeepsFocusAndHighlight) {
  struct Case {
    const char* label;
    std::function<void()> leave;
  } cases[] = {
      {"a click on Z", [this] { ClickCell(kColZ, 1); }},
      {"a click two rows down", [this] { ClickCell(kColName, 3); }},
      {"Down", [this] { QTest::keyClick(Editor(), Qt::Key_Down); }},
      {"Enter", [this] { QTest::keyClick(Editor(), Qt::Key_Return); }},
      {"Tab", [this] { QTest::keyClick(Editor(), Qt::Key_Tab); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    form.Table().SetCell(kColE, 1, "");
    ASSERT_TRUE(form.Commands().StringGrid1SelectCell(kColE, 1));
    form.RefreshTable();
    form.FocusTable();
    QTest::keyClicks(Editor(), "12345678");
    dialogs.messages.clear();
    dialogs.NextMessageAnswer(MessageResult::kOk);
    c.leave();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, kRangeMessage);

    const QModelIndex e = Grid()->model()->index(0, kColE);
    EXPECT_EQ(Grid()->currentIndex(), e);
    EXPECT_EQ(Grid()->selectionModel()->selectedIndexes(), QModelIndexList{e});
    EXPECT_EQ(QApplication::focusWidget(), Grid()->indexWidget(e));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), "9");
    EXPECT_EQ(form.Table().Cell(kColE, 1), "1234569");
    EXPECT_EQ(form.Table().Cell(kColZ, 1), "");
    EXPECT_EQ(form.Table().Cell(kColName, 3), "");
  }
}

// Enter moves on by one cell and checks only the cell it leaves: the cells
// after it keep their text as it stands ("10.000" is not rewritten as "10").
TEST_F(RecordGridTest, EnterLeavesOnlyTheCellItLeaves) {
  const char* const row[] = {"P1", "3020", "200.000", "10.000", "C1"};
  for (int c = 0; c < kColumnCount; ++c) form.Table().SetCell(c, 1, row[c]);
  form.RefreshTable();
  struct Step {
    const char* label;
    int column, row;
    const char* n;
    const char* e;
    const char* z;
  } steps[] = {
      {"name to N", kColN, 1, "3020", "200.000", "10.000"},
      {"N to E", kColE, 1, "3020", "200.000", "10.000"},
      {"E to Z", kColZ, 1, "3020", "200", "10.000"},
      {"Z to code", kColCode, 1, "3020", "200", "10"},
      {"code to the next row", kColName, 2, "3020", "200", "10"},
  };
  ClickCell(kColName, 1);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.label);
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(form.Table().CurrentColumn(), step.column);
    EXPECT_EQ(form.Table().CurrentRow(), step.row);
    EXPECT_EQ(Grid()->currentIndex(), Grid()->model()->index(step.row - 1, step.column));
    EXPECT_EQ(form.Table().Cell(kColN, 1), step.n);
    EXPECT_EQ(form.Table().Cell(kColE, 1), step.e);
    EXPECT_EQ(form.Table().Cell(kColZ, 1), step.z);
    EXPECT_EQ(QApplication::focusWidget(), Editor());
  }
}

// A command that rewrites the current cell (Clear, Tidy) shows the new text
// in the open editor, and the next key goes on from there.
TEST_F(RecordGridTest, TheEditorShowsWhatACommandLeftInTheCell) {
  QTest::keyClicks(Editor(), "P1");
  form.MenuClearRec->trigger();
  EXPECT_EQ(Editor()->text().toStdString(), "");
  QTest::keyClicks(Editor(), "Q");
  EXPECT_EQ(form.Table().Cell(kColName, 1), "Q");
}

}  // namespace
}  // namespace lumaq
