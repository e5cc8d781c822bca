// The menu's shortcuts work wherever the focus is in the window. A text box
// would take some of them for its own editing: Ctrl+X as Cut everywhere, and
// on some desktops Ctrl+U, Ctrl+E and others. A watched text box leaves
// those keys to the menu; it keeps Cut, Copy and Paste on Shift+Delete,
// Ctrl+Insert, Shift+Insert and its context menu.
#pragma once

#include <QAction>
#include <QList>
#include <QObject>
#include <QWidget>

namespace lumaq::ui {

class MenuShortcuts : public QObject {
  Q_OBJECT

 public:
  // actions: the menu items whose shortcuts come first.
  MenuShortcuts(QList<QAction*> actions, QObject* parent);

  // From now on the text box leaves the menu's shortcuts to the menu.
  void Watch(QWidget* textBox);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<QAction*> actions_;
};

}  // namespace lumaq::ui
