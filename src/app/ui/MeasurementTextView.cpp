#include "app/ui/MeasurementTextView.h"

#include <QAbstractListModel>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QSize>
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/AnsiText.h"

namespace lumaq::ui {

// The lines' bytes one after another, and where each starts.
class MeasurementLines : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  void SetLines(const JobText& lines, const QFont& font) {
    beginResetModel();
    std::size_t total = 0;
    for (const std::string& line : lines) total += line.size();
    bytes_.clear();
    bytes_.shrink_to_fit();
    bytes_.reserve(total);
    starts_.assign(1, 0);
    starts_.reserve(lines.size() + 1);
    for (const std::string& line : lines) {
      bytes_ += line;
      starts_.push_back(bytes_.size());
    }
    lineSize_ = QSize(WidestLine(font), QFontMetrics(font).height());
    endResetModel();
  }

  std::string_view Line(int row) const {
    const auto r = static_cast<std::size_t>(row);
    return std::string_view(bytes_).substr(starts_[r], starts_[r + 1] - starts_[r]);
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(starts_.size()) - 1;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return FromAnsi(Line(index.row()));
    if (role == Qt::SizeHintRole) return lineSize_;
    return {};
  }

 private:
  // Wide enough for the widest line, measured without laying a line out: the
  // advance of each ASCII character, and half a Chinese character for each
  // byte of a double-byte one; a few characters more for the margins.
  int WidestLine(const QFont& font) const {
    const QFontMetrics metrics(font);
    std::array<int, 256> advance{};
    for (int c = 0; c < 0x80; ++c)
      advance[static_cast<std::size_t>(c)] = metrics.horizontalAdvance(QChar(c));
    const int halfWide = (metrics.horizontalAdvance(QChar(0x4E2D)) + 1) / 2;
    std::fill(advance.begin() + 0x80, advance.end(), halfWide);
    int widest = 0;
    for (std::size_t i = 0; i + 1 < starts_.size(); ++i) {
      int width = 0;
      for (std::size_t at = starts_[i]; at < starts_[i + 1]; ++at) {
        width += advance[static_cast<unsigned char>(bytes_[at])];
      }
      widest = std::max(widest, width);
    }
    return widest + 4 * metrics.averageCharWidth();
  }

  std::string bytes_;
  std::vector<std::size_t> starts_{0};
  QSize lineSize_;
};

MeasurementTextView::MeasurementTextView(QWidget* parent)
    : QListView(parent), lines_(new MeasurementLines(this)) {
  setModel(lines_);
  // Every line as high and as wide as the first: nothing is laid out ahead.
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void MeasurementTextView::SetLines(const JobText& lines) {
  lines_->SetLines(lines, font());
  scrollToTop();
}

QString MeasurementTextView::toPlainText() const {
  std::string text;
  for (int row = 0; row < lines_->rowCount(); ++row) {
    if (row > 0) text += '\n';
    text += lines_->Line(row);
  }
  return FromAnsi(text);
}

void MeasurementTextView::CopySelection() const {
  QModelIndexList chosen = selectionModel()->selectedIndexes();
  if (chosen.isEmpty()) return;
  std::sort(chosen.begin(), chosen.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  std::string text;
  for (const QModelIndex& index : chosen) {
    if (!text.empty()) text += '\n';
    text += lines_->Line(index.row());
  }
  QGuiApplication::clipboard()->setText(FromAnsi(text));
}

void MeasurementTextView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    return;
  }
  QListView::keyPressEvent(event);
}

void MeasurementTextView::contextMenuEvent(QContextMenuEvent* event) {
  // The texts and keys a text edit's menu shows, in Qt's own translation.
  QMenu menu(this);
  QAction* copy = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy"), this,
                                 &MeasurementTextView::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(selectionModel()->hasSelection());
  menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Select All"), this,
                 &QAbstractItemView::selectAll)
      ->setShortcut(QKeySequence::SelectAll);
  menu.exec(event->globalPos());
}

}  // namespace lumaq::ui
