// Undo (Ctrl+Z) and redo (Ctrl+Y, Ctrl+Shift+Z) of the main window, wherever
// the focus is in it. A line editor (the cell being edited, the search box)
// undoes and redoes its own typing first; once it has none left, the keys go
// to the record table's history.
#pragma once

#include <QAction>
#include <QObject>
#include <QWidget>
#include <functional>

namespace lumaq::ui {

class UndoKeys : public QObject {
 public:
  // Adds the two actions to window; tableUndo and tableRedo step the table's
  // history.
  UndoKeys(QWidget* window, std::function<void()> tableUndo, std::function<void()> tableRedo);
  ~UndoKeys() override;
  UndoKeys(const UndoKeys&) = delete;
  UndoKeys& operator=(const UndoKeys&) = delete;

  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }
  // Off in the measurement view, where there is no table.
  void SetEnabled(bool enabled);

 protected:
  // A line editor claims the keys for itself before a shortcut sees them:
  // within the window they are left to the two actions, which decide.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsUndoOrRedoKey(const QKeyEvent* event) const;

  QWidget* window_;
  QAction* undo_;
  QAction* redo_;
};

}  // namespace lumaq::ui
