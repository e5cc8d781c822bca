// RichEdit1, the text view of a measurement job: the job text's lines, each
// decoded and laid out only when it comes into sight, so that a day of
// measurements (100,000 lines and more) shows at once and costs little more
// memory than its bytes. Lines are chosen whole (a click, Shift or Ctrl with
// a click, the arrow keys, Ctrl+A) and copied with Ctrl+C or the context
// menu.
#pragma once

#include <QListView>
#include <QString>

#include "records/TextLines.h"

namespace lumaq::ui {

class MeasurementLines;

class MeasurementTextView : public QListView {
  Q_OBJECT

 public:
  explicit MeasurementTextView(QWidget* parent = nullptr);

  // Shows lines (a copy of their bytes) from the first one.
  void SetLines(const JobText& lines);

  // The whole text, its lines joined by line feeds, as a text edit gives it.
  QString toPlainText() const;

  // The chosen lines in their order, joined by line feeds, to the clipboard.
  void CopySelection() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  MeasurementLines* lines_;
};

}  // namespace lumaq::ui
