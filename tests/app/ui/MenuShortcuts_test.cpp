// The menu's shortcuts reach the menu wherever the focus is in the window,
// and the text boxes keep Cut, Copy and Paste on other keys.
#include "app/ui/MenuShortcuts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "app/ui/Zivoru_main.h"
#include "support/ActiveMainWindow.h"
#include "support/ScriptedDialogs.h"

namespace lumaq {
namespace {

using test::ScriptedDialogs;

class MenuShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(test::StartActiveMainWindow(form)); }

  QLineEdit* CellEditor() {
    auto* editor =
        qobject_cast<QLineEdit*>(form.StringGrid1->indexWidget(form.StringGrid1->currentIndex()));
    EXPECT_NE(editor, nullptr);
    return editor;
  }

  // The text box of each kind, with the focus in it.
  std::vector<std::pair<const char*, QLineEdit*>> FocusTargets() {
    return {{"cell editor", CellEditor()}, {"search box", form.Edit1}};
  }

  ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs};
};

// Which action a key reaches, not what the action then does: the handlers
// are cut off here and tested with the commands.
TEST_F(MenuShortcutsTest, EveryMenuShortcutReachesItsActionFromATextBox) {
  const std::pair<QAction*, QKeyCombination> shortcuts[] = {
      {form.MenuJobNew, Qt::CTRL | Qt::Key_N},
      {form.MenuJobOpen, Qt::CTRL | Qt::Key_O},
      {form.MenuJobSave, Qt::CTRL | Qt::Key_S},
      {form.MenuJobPrint, Qt::CTRL | Qt::Key_P},
      {form.MenuJobExit, Qt::CTRL | Qt::Key_X},
      {form.MenuSortRec, Qt::CTRL | Qt::Key_U},
      {form.MenuDelRec, Qt::CTRL | Qt::Key_E},
      {form.MenuClearRec, Qt::CTRL | Qt::Key_L},
      {form.MenuReceive, QKeyCombination(Qt::Key_F9)},
      {form.Menu_Send, QKeyCombination(Qt::Key_F10)},
  };
  for (const auto& [action, key] : shortcuts)
    QObject::disconnect(action, nullptr, nullptr, nullptr);
  for (const auto& [target, box] : FocusTargets()) {
    box->setFocus();
    box->setText("P1");
    for (const auto& [action, key] : shortcuts) {
      SCOPED_TRACE(testing::Message() << target << " " << action->objectName().toStdString());
      QSignalSpy triggered(action, &QAction::triggered);
      QTest::keyClick(box, key.key(), key.keyboardModifiers());
      EXPECT_EQ(triggered.count(), 1);
      EXPECT_EQ(box->text(), "P1");
    }
  }
}

TEST_F(MenuShortcutsTest, CtrlXInATextBoxRunsExitAndKeepsTheText) {
  for (const auto& [target, box] : FocusTargets()) {
    SCOPED_TRACE(target);
    box->setFocus();
    QTest::keyClicks(box, "P1");
    form.Job().Modified = true;
    dialogs.NextMessageAnswer(MessageResult::kCancel);  // at the save prompt
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "您要保存对工作文件所作的更改吗？");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(box->text(), "P1");
    dialogs.messages.clear();
  }
  EXPECT_EQ(form.Table().Cell(kColName, 1), "P1");
}

TEST_F(MenuShortcutsTest, CutCopyAndPasteStayOnTheirOtherKeys) {
  for (const auto& [target, box] : FocusTargets()) {
    SCOPED_TRACE(target);
    box->setFocus();
    box->setText("");
    QTest::keyClicks(box, "AB1");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Insert, Qt::ControlModifier);  // copy
    EXPECT_EQ(QApplication::clipboard()->text(), "AB1");
    QTest::keyClick(box, Qt::Key_Delete, Qt::ShiftModifier);  // cut
    EXPECT_EQ(box->text(), "");
    QApplication::clipboard()->setText("C2");
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);  // paste
    EXPECT_EQ(box->text(), "C2");
  }
  EXPECT_EQ(form.Table().Cell(kColName, 1), "C2");
}

// The cell editor's context menu: its Paste keeps to the column's characters
// and, like typing, marks the job changed.
TEST_F(MenuShortcutsTest, TheCellEditorsContextMenuPastesWhatTheColumnTakes) {
  ASSERT_TRUE(form.Commands().StringGrid1SelectCell(kColN, 1));
  form.RefreshTable();
  QLineEdit* editor = CellEditor();
  QApplication::clipboard()->setText("12 ab.5");
  QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(2, 2),
                            editor->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(editor, &request);
  QMenu* menu = nullptr;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr;
  }));
  QAction* paste = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->shortcut() == QKeySequence::Paste || action->text().contains("Paste"))
      paste = action;
  }
  ASSERT_NE(paste, nullptr);
  paste->trigger();
  menu->close();
  EXPECT_EQ(form.Table().Cell(kColN, 1), "12.5");
  EXPECT_TRUE(form.Job().Modified);
}

}  // namespace
}  // namespace lumaq
