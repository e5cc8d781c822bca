// The main window's items around a transfer, offscreen: 通讯设置 shows the
// settings dialog on its own, Send warns before the instrument's character
// code changes names, and the records menu's 撤销 and 重做 are enabled while
// there is a step to take.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <filesystem>
#include <string>
#include <utility>

#include "app/ui/Zivoru_main.h"
#include "comm/ui/Unit3.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ActiveMainWindow.h"
#include "support/ModalDialogs.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

class CommSettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(test::StartActiveMainWindow(form)); }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs, dir.Folder()};
  test::ModalDialogs script;
};

TEST_F(CommSettingsWindowTest, TheSettingsFromTheMenuAreStoredOnlyWithOk) {
  EXPECT_EQ(form.MenuCommSettings->text(), QString::fromUtf8("通讯设置"));
  EXPECT_TRUE(form.COMM->actions().contains(form.MenuCommSettings));
  struct Case {
    const char* label;
    void (*close)(ui::TForm3*);
    bool stored;
  } cases[] = {
      {"the close box", [](ui::TForm3* f) { f->reject(); }, false},
      {"取消", [](ui::TForm3* f) { f->Button2->click(); }, false},
      {"OK", [](ui::TForm3* f) { f->Button1->click(); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    script.Next<ui::TForm3>([&c](ui::TForm3* settings) {
      settings->ComboBox2->setCurrentIndex(5);  // 19200
      c.close(settings);
    });
    form.MenuCommSettings->trigger();
    EXPECT_TRUE(script.AllDone());
    EXPECT_EQ(std::filesystem::exists(dir.Path("Commpara")), c.stored);
  }
  EXPECT_NE(ReadFileBytes(dir.Path("Commpara")).find("BaudRate=19200\r\n"), std::string::npos);
}

TEST_F(CommSettingsWindowTest, UndoAndRedoInTheRecordsMenuFollowWhatCanBeDone) {
  EXPECT_EQ(form.UndoAction->text(), QString::fromUtf8("撤   销"));
  EXPECT_EQ(form.RedoAction->text(), QString::fromUtf8("重   做"));
  EXPECT_EQ(form.UndoAction->shortcut(), QKeySequence("Ctrl+Z"));
  EXPECT_EQ(form.RedoAction->shortcut(), QKeySequence("Ctrl+Y"));
  EXPECT_TRUE(form.MenuRecord->actions().contains(form.UndoAction));
  EXPECT_TRUE(form.MenuRecord->actions().contains(form.RedoAction));
  const auto menuShows = [&] {
    emit form.MenuRecord->aboutToShow();
    return std::pair(form.UndoAction->isEnabled(), form.RedoAction->isEnabled());
  };
  dialogs.NextOpenAnswer(
      FileChoice{dir.Write("JOB.BDT", ComposeRecordLine("A1", "", "1", "2", "3") + "\r\n"), 1});
  form.MenuJobOpen->trigger();
  EXPECT_EQ(menuShows(), std::pair(false, false)) << "a job just opened";
  form.MenuClearRec->trigger();
  EXPECT_EQ(menuShows(), std::pair(true, false));
  form.UndoAction->trigger();
  EXPECT_EQ(form.Table().CountRecords(), 1);
  EXPECT_EQ(menuShows(), std::pair(false, true));
  form.RedoAction->trigger();
  EXPECT_EQ(form.Table().CountRecords(), 0);
  EXPECT_EQ(menuShows(), std::pair(true, false));
}

// With the real boxes: 取消 sends nothing; 继续 goes on to the transfer,
// here ended in the settings dialog before the port opens.
TEST(SendWarningWindowTest, SendWarnsBeforeTheInstrumentChangesNames) {
  test::TempDir dir;
  ui::TForm1 form(nullptr, dir.Folder());
  ASSERT_NO_FATAL_FAILURE(test::StartActiveMainWindow(form));
  form.Table().SetCell(kColName, 1, "\xB2\xE2\xB5\xE3");  // 测点 in the code page
  form.Table().SetCell(kColN, 1, "1");
  form.Table().SetCell(kColE, 1, "2");
  form.RefreshTable();
  test::ModalDialogs script;
  std::string shown;
  const auto answer = [&](const char* button) {
    script.Next<QMessageBox>([&shown, button](QMessageBox* box) {
      shown = box->text().toStdString();
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == QString::fromUtf8(button)) b->click();
      }
    });
  };
  answer("取消");
  form.Menu_Send->trigger();
  EXPECT_TRUE(script.AllDone());
  EXPECT_EQ(
      shown,
      "共 1 条记录的点号或编码含有全站仪不能接收的字符（如汉字）：测点。全站仪以二进制方式接收"
      "时，这些字符将变成“#”。\n是否继续发送？");

  answer("继续");
  script.Next<ui::TForm3>([](ui::TForm3* settings) { settings->Button2->click(); });
  form.Menu_Send->trigger();
  EXPECT_TRUE(script.AllDone());
}

}  // namespace
}  // namespace lumaq
