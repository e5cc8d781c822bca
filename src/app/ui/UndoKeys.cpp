#include "app/ui/UndoKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <utility>

namespace lumaq::ui {
namespace {

// The line editor of the window that has the focus, if any.
QLineEdit* FocusedLineEdit(const QWidget* window) {
  auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  return edit != nullptr && edit->window() == window && !edit->isReadOnly() ? edit : nullptr;
}

}  // namespace

UndoKeys::UndoKeys(QWidget* window, std::function<void()> tableUndo,
                   std::function<void()> tableRedo)
    : QObject(window), window_(window), undo_(new QAction(window)), redo_(new QAction(window)) {
  undo_->setObjectName("UndoAction");
  undo_->setShortcut(QKeySequence("Ctrl+Z"));
  redo_->setObjectName("RedoAction");
  redo_->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
  window->addAction(undo_);
  window->addAction(redo_);
  connect(undo_, &QAction::triggered, this, [this, undo = std::move(tableUndo)] {
    QLineEdit* edit = FocusedLineEdit(window_);
    if (edit != nullptr && edit->isUndoAvailable()) {
      edit->undo();
    } else {
      undo();
    }
  });
  connect(redo_, &QAction::triggered, this, [this, redo = std::move(tableRedo)] {
    QLineEdit* edit = FocusedLineEdit(window_);
    if (edit != nullptr && edit->isRedoAvailable()) {
      edit->redo();
    } else {
      redo();
    }
  });
  QApplication::instance()->installEventFilter(this);
}

UndoKeys::~UndoKeys() {
  QApplication::instance()->removeEventFilter(this);
}

void UndoKeys::SetEnabled(bool enabled) {
  undo_->setEnabled(enabled);
  redo_->setEnabled(enabled);
}

bool UndoKeys::IsUndoOrRedoKey(const QKeyEvent* event) const {
  const QKeySequence pressed(event->keyCombination());
  return undo_->shortcuts().contains(pressed) || redo_->shortcuts().contains(pressed);
}

bool UndoKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !undo_->isEnabled()) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != window_ ||
      !IsUndoOrRedoKey(static_cast<QKeyEvent*>(event))) {
    return false;
  }
  event->ignore();  // not claimed: the shortcut runs
  return true;
}

}  // namespace lumaq::ui
