#include "app/ui/RecordGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include "records/CellInput.h"
#include "ui/AnsiText.h"
#include "ui/Fonts.h"

namespace lumaq::ui {
namespace {

// Column widths in pixels: name, N, E, Z, code.
constexpr std::array<int, kColumnCount> kColumnWidths = {96, 110, 110, 110, 96};

bool IsEnter(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Typed text that the column refuses (anything outside ASCII included).
bool RefusesText(int column, const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0x7F || !AcceptTypedChar(column, static_cast<char>(c.unicode()))) {
      return true;
    }
  }
  return false;
}

bool IsModifierKey(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
      return true;
    default:
      return false;
  }
}

}  // namespace

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  editor->setAttribute(Qt::WA_InputMethodEnabled, false);  // no Chinese input
  editor->setContextMenuPolicy(Qt::NoContextMenu);
  // The grid's cell follows the editor as the user types.
  connect(editor, &QLineEdit::textEdited, this,
          [this, editor] { emit const_cast<CellDelegate*>(this)->commitData(editor); });
  editor->installEventFilter(parent->parentWidget());  // the grid sees every key first
  return editor;
}

RecordGrid::RecordGrid(RecordTable& table, MainCommands& commands, QWidget* parent)
    : QTableView(parent), table_(table), commands_(commands), model_(table), delegate_(this) {
  setModel(&model_);
  setItemDelegate(&delegate_);
  setFont(SerifCjkFont(15));
  setEditTriggers(QAbstractItemView::NoEditTriggers);  // the editor is always open
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setShowGrid(true);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(22);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int c = 0; c < kColumnCount; ++c)
    setColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
  connect(this, &QTableView::clicked, this, [this] { commands_.StringGrid1Click(); });
  SyncFromTable();
}

QModelIndex RecordGrid::TableCurrentIndex() const {
  return model_.index(table_.CurrentRow() - 1, table_.CurrentColumn());
}

void RecordGrid::SyncFromTable() {
  model_.Refresh();
  const QModelIndex wanted = TableCurrentIndex();
  if (currentIndex() != wanted) {
    syncing_ = true;
    setCurrentIndex(wanted);
    syncing_ = false;
  }
  ShowEditorAt(wanted);
}

void RecordGrid::ShowEditorAt(const QModelIndex& index) {
  if (editorIndex_ == index && indexWidget(index) != nullptr && isPersistentEditorOpen(index)) {
    return;
  }
  const bool hadFocus = hasFocus() || (QApplication::focusWidget() != nullptr &&
                                       isAncestorOf(QApplication::focusWidget()));
  // Hiding the editor that has the focus would pass the focus on as Tab does,
  // and Tab moves the current cell: the grid takes the focus first.
  if (hadFocus) setFocus();
  if (editorIndex_.isValid()) closePersistentEditor(editorIndex_);
  editorIndex_ = index;
  if (!index.isValid()) return;
  openPersistentEditor(index);
  scrollTo(index);
  if (hadFocus) FocusEditor();
}

void RecordGrid::FocusEditor() {
  if (QWidget* editor = indexWidget(editorIndex_)) {
    editor->setFocus();
  } else {
    setFocus();
  }
}

void RecordGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  if (!commands_.StringGrid1SelectCell(current.column(), RecordTableModel::TableRow(current))) {
    // Refused: the cell being left stays current.
    syncing_ = true;
    setCurrentIndex(TableCurrentIndex());
    syncing_ = false;
  }
  model_.Refresh();  // the cell left may have been rewritten
  ShowEditorAt(TableCurrentIndex());
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event, nullptr)) QTableView::keyPressEvent(event);
}

bool RecordGrid::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    return HandleKey(static_cast<QKeyEvent*>(event), static_cast<QWidget*>(watched));
  }
  return QTableView::eventFilter(watched, event);
}

bool RecordGrid::HandleKey(QKeyEvent* event, QWidget* editor) {
  // A modifier alone (the Ctrl of Ctrl+S) changes nothing in the table.
  if (IsModifierKey(event)) return false;
  commands_.StringGrid1KeyDown(IsEnter(event));
  if (IsEnter(event)) {
    SyncFromTable();
    return true;
  }
  const int column = table_.CurrentColumn();
  auto* lineEdit = qobject_cast<QLineEdit*>(editor);
  if (lineEdit != nullptr && event->matches(QKeySequence::Paste)) {
    lineEdit->insert(FromAnsi(FilterTypedText(column, ToAnsi(QApplication::clipboard()->text()))));
    return true;
  }
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (editor != nullptr) {
        QTableView::keyPressEvent(event);  // moves the current cell
        return true;
      }
      return false;
    default:
      break;
  }
  if (editor != nullptr && !event->text().isEmpty() && RefusesText(column, event->text())) {
    return true;  // dropped
  }
  return false;
}

}  // namespace lumaq::ui
