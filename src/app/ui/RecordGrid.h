// StringGrid1: the record table on screen. Cells are edited in place with the
// editor always shown; every key, cell move and click goes to the commands,
// which decide (a coordinate out of range keeps the cell current).
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

#include "app/MainCommands.h"
#include "app/ui/RecordTableModel.h"

namespace lumaq::ui {

// The in-place editor of one cell: holds only the characters its column
// accepts, however they come in (typed, pasted, dropped), and hands every key
// to the commands.
class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  // Shows the cell's text, unless the editor says the same already: the
  // user's typing comes back here through the model, and the cursor must
  // stay where the user put it.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;

  // The text the editor was given by the table last: what Escape restores.
  static QString TextBeforeEdit(const QWidget* editor);

 protected:
  // The grid handles Enter, Escape and Tab itself; the editor commits as the
  // user types.
  bool eventFilter(QObject*, QEvent*) override { return false; }
};

class RecordGrid : public QTableView {
  Q_OBJECT

 public:
  RecordGrid(RecordTable& table, MainCommands& commands, QWidget* parent = nullptr);

  // Shows the table's cells and its current cell, with the editor on it.
  void SyncFromTable();
  void FocusEditor();
  // While a receive adds rows: the editor takes no typing.
  void SetReadOnly(bool readOnly);
  bool ReadOnly() const { return readOnly_; }
  // Widens the columns by extra pixels in all, shared in the proportions of
  // their designed widths (0: the designed widths).
  void SetExtraWidth(int extra);
  // The editor open on the current cell, if any.
  QWidget* Editor() const { return indexWidget(editorIndex_); }
  RecordTableModel& Model() { return model_; }

 signals:
  // A new editor is open on the current cell.
  void EditorOpened(QWidget* editor);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyReadOnly();
  QModelIndex TableCurrentIndex() const;
  void ShowEditorAt(const QModelIndex& index);
  // A key in the grid or its editor; true when it has been handled.
  bool HandleKey(QKeyEvent* event, QWidget* editor);
  // The view's own handling of a key that moves the current cell.
  void MoveByKey(QKeyEvent* event);
  // After a move the commands refused: the view has gone on to select the
  // cell it was moving to; the cell that stayed current is selected alone
  // again and its editor takes the keys.
  void KeepRefusedCell();
  RecordTable& table_;
  MainCommands& commands_;
  RecordTableModel model_;
  CellDelegate delegate_;
  QPersistentModelIndex editorIndex_;
  bool syncing_ = false;
  bool readOnly_ = false;
  bool moveRefused_ = false;
};

}  // namespace lumaq::ui
