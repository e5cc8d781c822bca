// StringGrid1: the record table on screen. Cells are edited in place with the
// editor always shown; every key, cell move and click goes to the commands,
// which decide (a coordinate out of range keeps the cell current).
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

#include "app/MainCommands.h"
#include "app/ui/RecordTableModel.h"

namespace lumaq::ui {

// The in-place editor of one cell: takes only the characters its column
// accepts and hands every key to the commands.
class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

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
  RecordTableModel& Model() { return model_; }

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QModelIndex TableCurrentIndex() const;
  void ShowEditorAt(const QModelIndex& index);
  // A key in the grid or its editor; true when it has been handled.
  bool HandleKey(QKeyEvent* event, QWidget* editor);

  RecordTable& table_;
  MainCommands& commands_;
  RecordTableModel model_;
  CellDelegate delegate_;
  QPersistentModelIndex editorIndex_;
  bool syncing_ = false;
};

}  // namespace lumaq::ui
