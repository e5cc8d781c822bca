// The main window's commands on the real window, driven by its keys and menu
// items: the save prompt, a failed import, undo and redo, what Save and Tidy
// leave out, and the command line's --open with a damaged measurement file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <string>

#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ActiveMainWindow.h"
#include "support/MessageBoxWatcher.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::MessageBoxWatcher;
using test::ScriptedDialogs;
using test::TempDir;

std::string Records(std::initializer_list<const char*> names) {
  JobText lines;
  for (const char* name : names) lines.push_back(ComposeRecordLine(name, "", "1", "2", "3"));
  return JoinLinesCrLf(lines);
}

class MainWindowCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(test::StartActiveMainWindow(form)); }

  QWidget* Editor() {
    QWidget* editor = form.StringGrid1->indexWidget(form.StringGrid1->currentIndex());
    EXPECT_NE(editor, nullptr);
    if (editor != nullptr) editor->setFocus();
    return editor;
  }

  // The grid's names, rows 1 to 4, as the window shows them.
  QStringList ShownNames() {
    QStringList names;
    for (int row = 0; row < 4; ++row) {
      names << form.StringGrid1->model()->index(row, kColName).data().toString();
    }
    return names;
  }

  void OpenJob(std::initializer_list<const char*> names) {
    dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", Records(names)), 1});
    form.MenuJobOpen->trigger();
  }

  void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(target, key, modifiers);
  }

  TempDir dir;
  ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs};
};

TEST_F(MainWindowCommandsTest, YesThenACancelledOrFailedSaveAsKeepsTheWindowOpen) {
  QTest::keyClicks(Editor(), "P1");
  dialogs.NextMessageAnswer(MessageResult::kYes);
  dialogs.NextSaveAnswer(std::nullopt);
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());

  MessageBoxWatcher watcher;
  dialogs.NextMessageAnswer(MessageResult::kYes);
  dialogs.NextSaveAnswer(FileChoice{dir.Path("no/such/folder/JOB.BDT"), 1});
  form.MenuJobExit->trigger();  // the error box is closed by the watcher
  ASSERT_EQ(watcher.boxes.size(), 1u);
  EXPECT_TRUE(watcher.boxes[0].text.startsWith(QString::fromUtf8("无法")))
      << watcher.boxes[0].text.toStdString();
  EXPECT_EQ(watcher.boxes[0].parent, &form);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.Table().Cell(kColName, 1), "P1");
  EXPECT_TRUE(form.Job().Modified);

  dialogs.NextMessageAnswer(MessageResult::kNo);
  EXPECT_TRUE(form.close());
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainWindowCommandsTest, AFailedImportLeavesTheGridAsItWas) {
  OpenJob({"A1", "B2", "C3"});
  const QStringList before = ShownNames();
  dialogs.NextOpenAnswer(
      FileChoice{dir.Write("BAD.DAT", "1\r\nP1\r\n\r\n1\r\n2\r\n3\r\ne\r\n"), 2});
  dialogs.NextMessageAnswer(MessageResult::kOk);  // "数据格式不符，无法导入！"
  form.MenuJobImport->trigger();
  EXPECT_EQ(ShownNames(), before);

  dialogs.NextOpenAnswer(FileChoice{dir.Path("MISSING.DAT"), 4});
  dialogs.NextMessageAnswer(MessageResult::kOk);  // "导入错误！"
  EXPECT_THROW(form.MenuJobImport->trigger(), FileError);
  EXPECT_EQ(ShownNames(), before);
  EXPECT_EQ(form.Job().JobText.size(), 3u);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].text, "导入错误！");
}

TEST_F(MainWindowCommandsTest, UndoAndRedoAfterEachKindOfChangeFromTheKeys) {
  OpenJob({"A1", "B2", "C3"});
  const QStringList opened = ShownNames();
  const QStringList cleared = {"", "", "", ""};

  // Typing in a cell: Ctrl+Z in its editor undoes the typing first.
  form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(3, kColName));
  QTest::keyClicks(Editor(), "X");
  EXPECT_EQ(ShownNames(), (QStringList{"A1", "B2", "C3", "X"}));
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(ShownNames(), opened);
  Key(Editor(), Qt::Key_Y);
  EXPECT_EQ(ShownNames(), (QStringList{"A1", "B2", "C3", "X"}));
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(ShownNames(), opened);

  // Clear (Ctrl+L), then Ctrl+Z brings the records back.
  Key(Editor(), Qt::Key_L);
  EXPECT_EQ(ShownNames(), cleared);
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(ShownNames(), opened);
  Key(Editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ShownNames(), cleared);
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(ShownNames(), opened);

  // Delete of row 1, Tidy, then back one step at a time.
  form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(0, kColN));
  dialogs.NextMessageAnswer(MessageResult::kYes);
  form.Button_Del->click();
  EXPECT_EQ(ShownNames(), (QStringList{"", "B2", "C3", ""}));
  form.Button_Sort->click();
  EXPECT_EQ(ShownNames(), (QStringList{"B2", "C3", "", ""}));
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(ShownNames(), (QStringList{"", "B2", "C3", ""}));
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(ShownNames(), opened);

  // Import, undone from the search box, which has no typing of its own.
  dialogs.NextMessageAnswer(MessageResult::kNo);  // the job was changed
  dialogs.NextOpenAnswer(FileChoice{dir.Write("PTS.DAT", "Q1,C,1,2,3\r\n"), 4});
  form.MenuJobImport->trigger();
  EXPECT_EQ(ShownNames(), (QStringList{"Q1", "", "", ""}));
  form.Edit1->setFocus();
  Key(form.Edit1, Qt::Key_Z);
  EXPECT_EQ(ShownNames(), opened);
  // Typed into the search box, Ctrl+Z undoes that typing first.
  QTest::keyClicks(form.Edit1, "C3");
  Key(form.Edit1, Qt::Key_Y);  // the search box has nothing to redo: the import is redone
  EXPECT_EQ(ShownNames(), (QStringList{"Q1", "", "", ""}));
  Key(form.Edit1, Qt::Key_Z);
  EXPECT_EQ(form.Edit1->text(), "");
  EXPECT_EQ(ShownNames(), (QStringList{"Q1", "", "", ""}));
  EXPECT_EQ(form.PanelLabel(StatusPanel::kCount)->text(), QString::fromUtf8("总数:1"));
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(MainWindowCommandsTest, ClickThenCtrlLThenCtrlZGivesBackEveryCellAsItWas) {
  JobText lines;
  for (const char* name : {"A1", "B2", "C3"}) {
    lines.push_back(ComposeRecordLine(name, "C", "102.000", "202.000", "3.000"));
  }
  dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", JoinLinesCrLf(lines)), 1});
  form.MenuJobOpen->trigger();
  const RecordTable::Row third = form.Table().RowCells(3);
  const QRect cell = form.StringGrid1->visualRect(form.StringGrid1->model()->index(2, kColName));
  Editor();  // the user was in the grid
  QTest::mouseClick(form.StringGrid1->viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_EQ(form.Table().CurrentRow(), 3);
  Key(QApplication::focusWidget(), Qt::Key_L);
  EXPECT_EQ(form.Table().CountRecords(), 0);
  Key(QApplication::focusWidget(), Qt::Key_Z);
  // Moving the editor back to row 3 leaves no other cell on the way.
  EXPECT_EQ(form.Table().RowCells(3), third);
  EXPECT_EQ(form.Table().CurrentRow(), 3);
  EXPECT_EQ(form.Table().CurrentColumn(), kColName);
}

TEST_F(MainWindowCommandsTest, SaveAndTidySayHowManyRowsTheyLeftOut) {
  OpenJob({"A1", "B2"});
  form.Table().SetCell(kColName, 4, "D4");    // a name without N and E
  form.Table().SetCell(kColCode, 5, "TREE");  // a code alone
  form.RefreshTable();
  dialogs.NextMessageAnswer(MessageResult::kOk);
  Key(Editor(), Qt::Key_S);
  dialogs.NextMessageAnswer(MessageResult::kOk);
  form.Button_Sort->click();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "有2行缺少点号、N或E，没有写入文件。");
  EXPECT_EQ(dialogs.messages[1].text, "有2行缺少点号、N或E，整理时已去掉（Ctrl+Z 可恢复）。");
  EXPECT_EQ(ReadFileBytes(dir.Path("JOB.BDT")), Records({"A1", "B2"}));
  Key(Editor(), Qt::Key_Z);
  EXPECT_EQ(form.Table().Cell(kColName, 4), "D4");
}

TEST(MainWindowOpenOption, OpensEachJobTypeAndSaysWhenAMeasurementFileIsDamaged) {
  TempDir dir;
  std::string raw(84, '\x01');
  raw[0] = '\x81';
  const struct {
    const char* label;
    std::string path;
    bool grid;
    const char* title;
    bool damaged;
  } cases[] = {
      {"records", dir.Write("JOB.BDT", Records({"A1"})), true, "JOB.BDT--全站仪坐标记录文件",
       false},
      {"raw measurements", dir.Write("field.tsm", raw), false, "field.tsm--全站仪测量数据文件",
       false},
      {"a damaged raw file", dir.Write("BAD.TSM", raw + "x"), false, "BAD.TSM", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    MessageBoxWatcher watcher;
    ui::TForm1 form;  // the real boxes
    form.FormCreate({"--open", c.path}, /*showSplash=*/false);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.title));
    EXPECT_EQ(form.StringGrid1->isHidden(), !c.grid);
    if (c.grid) {
      EXPECT_EQ(form.StringGrid1->model()->index(0, kColName).data().toString(), "A1");
    }
    ASSERT_EQ(watcher.boxes.size(), c.damaged ? 1u : 0u);
    if (c.damaged) {
      EXPECT_EQ(watcher.boxes[0].title, QString::fromUtf8("提示"));
      EXPECT_EQ(watcher.boxes[0].text,
                QString::fromUtf8("文件“BAD.TSM”不是有效的测量数据文件，未能装入。"));
      EXPECT_TRUE(form.RichEdit1->toPlainText().isEmpty());
    }
  }
}

}  // namespace
}  // namespace lumaq
