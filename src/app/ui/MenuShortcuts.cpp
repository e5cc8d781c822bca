#include "app/ui/MenuShortcuts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>

namespace lumaq::ui {

MenuShortcuts::MenuShortcuts(QList<QAction*> actions, QObject* parent)
    : QObject(parent), actions_(std::move(actions)) {}

void MenuShortcuts::Watch(QWidget* textBox) {
  textBox->installEventFilter(this);
}

// Before a key becomes a shortcut, the widget with the focus is asked
// whether it wants the key itself (ShortcutOverride). Taking that question
// away from the text box, unanswered, hands the key to the menu.
bool MenuShortcuts::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return QObject::eventFilter(watched, event);
  const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
  for (const QAction* action : actions_) {
    if (action->shortcut() == pressed) {
      event->ignore();
      return true;
    }
  }
  return false;
}

}  // namespace lumaq::ui
