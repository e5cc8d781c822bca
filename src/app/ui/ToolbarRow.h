// Puts controls on a toolbar at the x positions of the window's design. The
// toolbar lays its items out one after the other and, when the window is too
// narrow for all of them, moves the last ones behind its overflow button; a
// blank item goes before any control that stands further right than the
// one before it, carrying the separator line where the design draws one.
#pragma once

#include <QToolBar>
#include <QWidget>

namespace lumaq::ui {

class ToolbarRow {
 public:
  // bar: empty, its layout's spacing and margins set.
  explicit ToolbarRow(QToolBar* bar);

  // Adds control (of its fixed width) with its left edge at x, counted from
  // the toolbar's left edge; separatorX: where a separator line stands
  // between the control before and this one, or -1.
  void Add(QWidget* control, int x, int separatorX = -1);

 private:
  QToolBar* bar_;
  int end_;  // the right edge of the last item
  bool empty_ = true;
};

}  // namespace lumaq::ui
