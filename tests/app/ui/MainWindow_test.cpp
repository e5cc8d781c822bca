#include <gtest/gtest.h>

#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::ScriptedDialogs;
using test::TempDir;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.FormCreate({}, /*showSplash=*/false);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  QWidget* Editor() {
    QWidget* editor = form.StringGrid1->indexWidget(form.StringGrid1->currentIndex());
    EXPECT_NE(editor, nullptr);
    return editor;
  }

  ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs};
};

TEST_F(MainWindowTest, MenusHaveTheirExactCaptionsAndShortcuts) {
  struct Item {
    QAction* action;
    const char* caption;
    const char* shortcut;
  } items[] = {
      {form.MenuJobNew, "新    建 ", "Ctrl+N"},  {form.MenuJobOpen, "打    开", "Ctrl+O"},
      {form.MenuJobSave, "保    存", "Ctrl+S"},  {form.MenuJobSaveAs, "另 存 为", ""},
      {form.MenuJobPrint, "打    印", "Ctrl+P"}, {form.MenuJobImport, "导    入", ""},
      {form.MenuJobExport, "导    出", ""},      {form.MenuJobExit, "退    出", "Ctrl+X"},
      {form.MenuSortRec, "整   理", "Ctrl+U"},   {form.MenuDelRec, "删   除", "Ctrl+E"},
      {form.MenuClearRec, "清   空", "Ctrl+L"},  {form.MenuReceive, "接 收 ", "F9"},
      {form.Menu_Send, "发 送 ", "F10"},         {form.MenuDefDataForm, "自定义导出数据格式", ""},
      {form.HelpAbout, "关    于", ""},
  };
  for (const auto& item : items) {
    SCOPED_TRACE(item.caption);
    EXPECT_EQ(item.action->text(), QString::fromUtf8(item.caption));
    EXPECT_EQ(item.action->shortcut(), QKeySequence(item.shortcut));
  }
  QStringList titles;
  for (QAction* menu : form.menuBar()->actions()) titles << menu->text();
  EXPECT_EQ(titles, QString::fromUtf8("文  件|记  录|通  讯|工  具|帮  助").split('|'));
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Job1--全站仪坐标记录文件"));
}

TEST_F(MainWindowTest, EveryWindowShowsTheProgramIcon) {
  // Without an installed icon theme the icon built into the program serves.
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.actualSize(QSize(48, 48)), QSize(48, 48));
  EXPECT_FALSE(form.windowIcon().isNull());
}

TEST_F(MainWindowTest, AnOutOfRangeCoordinateIsRefusedWhenLeavingTheCell) {
  ASSERT_TRUE(form.Commands().StringGrid1SelectCell(kColN, 1));
  form.RefreshTable();
  QTest::keyClicks(Editor(), "12345678.9");
  EXPECT_EQ(form.Table().Cell(kColN, 1), "12345678.9");
  dialogs.NextMessageAnswer(MessageResult::kOk);
  QTest::keyClick(Editor(), Qt::Key_Down);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "提示");
  EXPECT_EQ(form.Table().CurrentRow(), 1);
  EXPECT_EQ(form.StringGrid1->currentIndex().row(), 0);
  EXPECT_TRUE(form.Job().Modified);
}

TEST_F(MainWindowTest, TypingFilterAndEnterMoveAcrossThenDown) {
  QTest::keyClicks(Editor(), "P1 x");  // the blank is dropped
  EXPECT_EQ(form.Table().Cell(kColName, 1), "P1x");
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(form.Table().CurrentColumn(), kColN);
  QTest::keyClicks(Editor(), "12.500abc");  // letters dropped in coordinates
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(form.Table().Cell(kColN, 1), "12.5");
  EXPECT_EQ(form.PanelLabel(StatusPanel::kRow)->text(), QString::fromUtf8("当前行:1"));
}

TEST_F(MainWindowTest, ViewSwitchEnablesAndDisablesTheRecordCommands) {
  TempDir dir;
  const std::string path = dir.Write("NOTES.TXT", "line one\r\nline two\r\n");
  dialogs.NextOpenAnswer(FileChoice{path, 3});
  form.MenuJobOpen->trigger();
  EXPECT_TRUE(form.StringGrid1->isHidden());
  EXPECT_FALSE(form.RichEdit1->isHidden());
  EXPECT_EQ(form.RichEdit1->toPlainText(), "line one\nline two");
  for (QWidget* w :
       {static_cast<QWidget*>(form.Edit1), static_cast<QWidget*>(form.Button_Sort),
        static_cast<QWidget*>(form.Button_Del), static_cast<QWidget*>(form.Button_Clear),
        static_cast<QWidget*>(form.Button_Find), static_cast<QWidget*>(form.Button_Export)}) {
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  }
  EXPECT_FALSE(form.MenuRecord->isEnabled());
  EXPECT_FALSE(form.MenuJobImport->isEnabled());
  EXPECT_FALSE(form.Menu_Send->isEnabled());
  EXPECT_FALSE(form.MenuJobExport->isEnabled());  // no raw records
  EXPECT_TRUE(form.MenuJobSave->isEnabled());
  EXPECT_TRUE(form.Button_Import->isEnabled());
  EXPECT_TRUE(form.PanelLabel(StatusPanel::kHint)->isHidden());
  EXPECT_FALSE(form.SimplePanel->isHidden());

  // F10 in a measurement job does nothing.
  QTest::keyClick(&form, Qt::Key_F10);
  EXPECT_EQ(form.Commands().TransferDirection(), TransferDirection::kReceive);

  form.MenuJobNew->trigger();
  EXPECT_FALSE(form.StringGrid1->isHidden());
  EXPECT_TRUE(form.RichEdit1->isHidden());
  EXPECT_TRUE(form.MenuRecord->isEnabled());
  EXPECT_TRUE(form.Button_Find->isEnabled());
  EXPECT_TRUE(form.MenuJobExport->isEnabled());
  EXPECT_FALSE(form.PanelLabel(StatusPanel::kHint)->isHidden());
}

TEST_F(MainWindowTest, ClosingWithUnsavedChangesAndCancelKeepsTheWindow) {
  QTest::keyClicks(Editor(), "P1");
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  dialogs.NextMessageAnswer(MessageResult::kNo);
  EXPECT_TRUE(form.close());
}

TEST_F(MainWindowTest, AShortcutInTheGridDoesNotMarkTheJobChanged) {
  QTest::keyClick(Editor(), Qt::Key_Control);
  QTest::keyClick(Editor(), Qt::Key_N, Qt::ControlModifier);  // New on an unchanged job
  EXPECT_FALSE(form.Job().Modified);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(QtNameFiltersTest, CarryUpperAndLowerCasePatternsAndDecodeEitherEncoding) {
  // A user format's entry comes from its settings file, in the code page.
  const std::string gbEntry = "\xB2\xE2\xC1\xBF(\xD7\xD4\xB6\xA8\xD2\xE5)";
  const QStringList filters =
      ui::QtNameFilters("文本文件(*.TXT)|*.TXT|" + gbEntry + "|*.abc|all|*.*");
  ASSERT_EQ(filters.size(), 3);
  EXPECT_EQ(filters[0], QString::fromUtf8("文本文件(*.TXT *.txt)"));
  EXPECT_EQ(filters[1], QString::fromUtf8("测量(自定义)(*.ABC *.abc)"));
  EXPECT_EQ(filters[2], "all(*.*)");
}

TEST_F(MainWindowTest, ImportFillsTheGridFromTheChosenFormat) {
  TempDir dir;
  const std::string cass = dir.Write("PTS.DAT", "P1,TREE,1234.567,3456.789,12.300\r\n");
  dialogs.NextOpenAnswer(FileChoice{cass, 4});
  form.MenuJobImport->trigger();
  EXPECT_EQ(form.StringGrid1->model()->index(0, kColN).data().toString(), "3456.789");
  EXPECT_EQ(form.PanelLabel(StatusPanel::kCount)->text(), QString::fromUtf8("点号总数:1"));
}

TEST_F(MainWindowTest, FindFromTheSearchBox) {
  TempDir dir;
  std::string lines;
  for (const char* name : {"A1", "B2", "C3"}) {
    lines += std::string(name) + std::string(16, ' ') + "1.000       2.000       3.000\r\n";
  }
  dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", lines), 1});
  form.MenuJobOpen->trigger();
  form.Edit1->setText("c3");
  QTest::keyClick(form.Edit1, Qt::Key_Return);
  EXPECT_EQ(form.Table().CurrentRow(), 3);
  EXPECT_EQ(form.StringGrid1->currentIndex().row(), 2);
}

}  // namespace
}  // namespace lumaq
