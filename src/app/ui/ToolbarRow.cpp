#include "app/ui/ToolbarRow.h"

#include <QFrame>
#include <QLayout>

namespace lumaq::ui {
namespace {

constexpr int kItemHeight = 28;

QWidget* Blank(int width, int lineAt) {
  auto* blank = new QWidget;
  blank->setFixedSize(width, kItemHeight);
  if (lineAt >= 0) {
    auto* line = new QFrame(blank);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    line->setGeometry(lineAt, 0, 2, kItemHeight);
  }
  return blank;
}

}  // namespace

ToolbarRow::ToolbarRow(QToolBar* bar) : bar_(bar), end_(bar->layout()->contentsMargins().left()) {}

void ToolbarRow::Add(QWidget* control, int x, int separatorX) {
  const int spacing = bar_->layout()->spacing();
  int next = empty_ ? end_ : end_ + spacing;
  if (x - next > spacing) {
    const int gap = x - next - spacing;
    bar_->addWidget(Blank(gap, separatorX >= 0 ? separatorX - next : -1));
    next = x;
  }
  bar_->addWidget(control);
  empty_ = false;
  end_ = next + control->width();
}

}  // namespace lumaq::ui
