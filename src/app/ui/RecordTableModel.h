// StringGrid1's cells: a Qt model over the core's RecordTable. Row 0 of the
// table (its header texts) is the horizontal header; view row r - 1 shows
// table row r.
#pragma once

#include <QAbstractTableModel>

#include "records/RecordTable.h"

namespace lumaq::ui {

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTableModel(RecordTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The core changed cells or the row count: show them again.
  void Refresh();

  static int TableRow(const QModelIndex& index) { return index.row() + 1; }

 private:
  RecordTable& table_;
  int shownRows_;
};

}  // namespace lumaq::ui
