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
                   std::function<void()> tableRedo, std::function<bool()> canUndo,
                   std::function<bool()> canRedo)
    : QObject(window),
      window_(window),
      undo_(new QAction(window)),
      redo_(new QAction(window)),
      canUndo_(std::move(canUndo)),
      canRedo_(std::move(canRedo)) {
  undo_->setObjectName("UndoAction");
  undo_->setText(QStringLiteral("撤   销"));
  undo_->setShortcut(QKeySequence("Ctrl+Z"));
  redo_->setObjectName("RedoAction");
  redo_->setText(QStringLiteral("重   做"));
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
    Refresh();
  });
  connect(redo_, &QAction::triggered, this, [this, redo = std::move(tableRedo)] {
    QLineEdit* edit = FocusedLineEdit(window_);
    if (edit != nullptr && edit->isRedoAvailable()) {
      edit->redo();
    } else {
      redo();
    }
    Refresh();
  });
  QApplication::instance()->installEventFilter(this);
  Refresh();
}

UndoKeys::~UndoKeys() {
  QApplication::instance()->removeEventFilter(this);
}

void UndoKeys::AddTo(QMenu* menu) {
  menu->addSeparator();
  menu->addAction(undo_);
  menu->addAction(redo_);
  connect(menu, &QMenu::aboutToShow, this, &UndoKeys::Refresh);
}

void UndoKeys::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Refresh();
}

void UndoKeys::Refresh() {
  const QLineEdit* edit = FocusedLineEdit(window_);
  undo_->setEnabled(enabled_ && ((edit != nullptr && edit->isUndoAvailable()) || canUndo_()));
  redo_->setEnabled(enabled_ && ((edit != nullptr && edit->isRedoAvailable()) || canRedo_()));
}

QAction* UndoKeys::ActionOf(const QKeyEvent* event) const {
  const QKeySequence pressed(event->keyCombination());
  if (undo_->shortcuts().contains(pressed)) return undo_;
  if (redo_->shortcuts().contains(pressed)) return redo_;
  return nullptr;
}

bool UndoKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != window_) return false;
  QAction* action = ActionOf(static_cast<QKeyEvent*>(event));
  if (action == nullptr) return false;
  Refresh();
  if (!action->isEnabled()) return false;
  event->ignore();  // not claimed: the shortcut runs
  return true;
}

}  // namespace lumaq::ui
