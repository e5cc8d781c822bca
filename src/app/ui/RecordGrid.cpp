#include "app/ui/RecordGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <numeric>

#include "records/CellInput.h"
#include "ui/AnsiText.h"
#include "ui/Fonts.h"

namespace lumaq::ui {
namespace {

// Designed column widths in pixels: name, N, E, Z, code.
constexpr std::array<int, kColumnCount> kColumnWidths = {96, 110, 110, 110, 96};

// The editor's property that holds the text the table gave it.
constexpr const char* kTextBeforeEdit = "textBeforeEdit";

bool IsEnter(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool AcceptsChar(int column, QChar c) {
  return c.unicode() <= 0x7F && AcceptTypedChar(column, static_cast<char>(c.unicode()));
}

// Typed text that the column refuses (anything outside ASCII included).
bool RefusesText(int column, const QString& text) {
  return !std::all_of(text.begin(), text.end(),
                      [column](QChar c) { return AcceptsChar(column, c); });
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

// Drops the characters the column refuses from whatever reaches the editor
// past the key filter (the context menu's Paste, a drop), and keeps the
// cursor after the characters it had passed.
class CellValidator : public QValidator {
 public:
  CellValidator(int column, QObject* parent) : QValidator(parent), column_(column) {}

  State validate(QString& input, int& pos) const override {
    QString kept;
    int keptPos = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
      if (AcceptsChar(column_, input[i])) {
        kept += input[i];
      } else if (i < pos) {
        --keptPos;
      }
    }
    input = kept;
    pos = keptPos;
    return Acceptable;
  }

 private:
  int column_;
};

}  // namespace

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  editor->setAttribute(Qt::WA_InputMethodEnabled, false);  // no Chinese input
  editor->setValidator(new CellValidator(index.column(), editor));
  // The grid's cell follows the editor as the user types.
  connect(editor, &QLineEdit::textEdited, this,
          [this, editor] { emit const_cast<CellDelegate*>(this)->commitData(editor); });
  editor->installEventFilter(parent->parentWidget());  // the grid sees every key first
  return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* lineEdit = qobject_cast<QLineEdit*>(editor);
  if (lineEdit == nullptr) return;
  const QString text = index.data(Qt::EditRole).toString();
  if (lineEdit->text() == text && lineEdit->property(kTextBeforeEdit).isValid()) return;
  lineEdit->setText(text);
  lineEdit->setProperty(kTextBeforeEdit, text);
}

QString CellDelegate::TextBeforeEdit(const QWidget* editor) {
  return editor->property(kTextBeforeEdit).toString();
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
  SetExtraWidth(0);
  connect(this, &QTableView::clicked, this, [this] { commands_.StringGrid1Click(); });
  // What the editor's context menu changes counts as typed.
  connect(&delegate_, &CellDelegate::commitData, this,
          [this] { commands_.StringGrid1KeyDown(false); });
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
  // A command may have rewritten the current cell.
  if (QWidget* editor = indexWidget(editorIndex_)) delegate_.setEditorData(editor, editorIndex_);
}

void RecordGrid::ShowEditorAt(const QModelIndex& index) {
  if (editorIndex_ == index && indexWidget(index) != nullptr && isPersistentEditorOpen(index)) {
    return;
  }
  const bool hadFocus = hasFocus() || (QApplication::focusWidget() != nullptr &&
                                       isAncestorOf(QApplication::focusWidget()));
  // Closing the editor that has the focus would pass the focus on as a Tab
  // does, and the view would move the current cell once more, through cells
  // the user never left: the grid holds the focus meanwhile.
  if (hadFocus) setFocus();
  if (editorIndex_.isValid()) closePersistentEditor(editorIndex_);
  editorIndex_ = index;
  if (!index.isValid()) return;
  openPersistentEditor(index);
  ApplyReadOnly();
  scrollTo(index);
  if (QWidget* editor = indexWidget(index)) emit EditorOpened(editor);
  if (hadFocus) FocusEditor();
}

void RecordGrid::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  ApplyReadOnly();
}

void RecordGrid::ApplyReadOnly() {
  if (auto* editor = qobject_cast<QLineEdit*>(Editor())) editor->setReadOnly(readOnly_);
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
    moveRefused_ = true;
    syncing_ = true;
    setCurrentIndex(TableCurrentIndex());
    syncing_ = false;
  }
  model_.Refresh();  // the cell left may have been rewritten
  ShowEditorAt(TableCurrentIndex());
}

void RecordGrid::KeepRefusedCell() {
  syncing_ = true;
  setCurrentIndex(TableCurrentIndex());  // selects it alone
  syncing_ = false;
  FocusEditor();
}

void RecordGrid::MoveByKey(QKeyEvent* event) {
  moveRefused_ = false;
  QTableView::keyPressEvent(event);
  if (moveRefused_) KeepRefusedCell();
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event, nullptr)) MoveByKey(event);
}

void RecordGrid::mousePressEvent(QMouseEvent* event) {
  moveRefused_ = false;
  QTableView::mousePressEvent(event);
  if (moveRefused_) KeepRefusedCell();
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
  if (lineEdit != nullptr && event->key() == Qt::Key_Escape) {
    // As one edit, which the editor's own undo can take back; then selected
    // whole, as when the cell was entered.
    const QString before = CellDelegate::TextBeforeEdit(lineEdit);
    if (lineEdit->text() != before) {
      lineEdit->selectAll();
      lineEdit->insert(before);
    }
    lineEdit->selectAll();
    return true;
  }
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (editor != nullptr) {
        MoveByKey(event);  // moves the current cell
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

void RecordGrid::SetExtraWidth(int extra) {
  const int designed = std::accumulate(kColumnWidths.begin(), kColumnWidths.end(), 0);
  const int total = designed + std::max(0, extra);
  int given = 0;
  for (int c = 0; c < kColumnCount; ++c) {
    const int base = kColumnWidths[static_cast<std::size_t>(c)];
    // The last column takes what the rounding left.
    const int width = c + 1 < kColumnCount ? base * total / designed : total - given;
    setColumnWidth(c, width);
    given += width;
  }
}

}  // namespace lumaq::ui
