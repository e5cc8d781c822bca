#include "app/ui/RecordTableModel.h"

#include "ui/AnsiText.h"

namespace lumaq::ui {

RecordTableModel::RecordTableModel(RecordTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(table.RowCount() - 1) {}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return FromAnsi(table_.Cell(index.column(), TableRow(index)));
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  std::string bytes = ToAnsi(value.toString());
  if (bytes == table_.Cell(index.column(), TableRow(index))) return true;
  table_.SetCell(index.column(), TableRow(index), std::move(bytes));
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal)
    return QString::fromUtf8(kHeaderTexts.at(static_cast<std::size_t>(section)));
  return section + 1;
}

void RecordTableModel::Refresh() {
  const int rows = table_.RowCount() - 1;
  if (rows > shownRows_ && shownRows_ > 0) {
    // Rows added at the end (a receive that shows its records as they come):
    // the view keeps its place and lays out only the new rows.
    const int shown = shownRows_;
    beginInsertRows({}, shown, rows - 1);
    shownRows_ = rows;
    endInsertRows();
    emit dataChanged(index(0, 0), index(shown - 1, kColumnCount - 1));
    return;
  }
  if (rows != shownRows_) {
    beginResetModel();
    shownRows_ = rows;
    endResetModel();
    return;
  }
  if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, kColumnCount - 1));
}

}  // namespace lumaq::ui
