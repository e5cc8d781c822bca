// Undo (Ctrl+Z) and redo (Ctrl+Y, Ctrl+Shift+Z) of the main window, wherever
// the focus is in it, and its menu items 撤销 and 重做. A line editor (the cell
// being edited, the search box) undoes and redoes its own typing first; once
// it has none left, the keys go to the record table's history. Each action
// is enabled while it has something to do: looked at again when its key is
// pressed, when its menu opens and when the window is idle.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QWidget>
#include <functional>

namespace lumaq::ui {

class UndoKeys : public QObject {
 public:
  // Adds the two actions to window; tableUndo and tableRedo step the table's
  // history, canUndo and canRedo say whether it has a step to take.
  UndoKeys(QWidget* window, std::function<void()> tableUndo, std::function<void()> tableRedo,
           std::function<bool()> canUndo, std::function<bool()> canRedo);
  ~UndoKeys() override;
  UndoKeys(const UndoKeys&) = delete;
  UndoKeys& operator=(const UndoKeys&) = delete;

  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }
  // The two as menu items at the end of menu, looked at whenever it opens.
  void AddTo(QMenu* menu);
  // Off in the measurement view, where there is no table.
  void SetEnabled(bool enabled);
  // Enables each action that has something to do now.
  void Refresh();

 protected:
  // A line editor claims the keys for itself before a shortcut sees them:
  // within the window they are left to the two actions while those have
  // something to do.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The action of the key, if it is one of theirs.
  QAction* ActionOf(const QKeyEvent* event) const;

  QWidget* window_;
  QAction* undo_;
  QAction* redo_;
  std::function<bool()> canUndo_;
  std::function<bool()> canRedo_;
  bool enabled_ = true;
};

}  // namespace lumaq::ui
