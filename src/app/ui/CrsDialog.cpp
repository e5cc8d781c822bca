#include "app/ui/CrsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/UserDialogs.h"
#include "formats/GisFormats.h"
#include "ui/AnsiText.h"

namespace lumaq::ui {
namespace {

constexpr int kCodeRole = Qt::UserRole;

}  // namespace

std::optional<CrsEntry> QtCrsDialog::AskCrs(const CrsRequest& request) {
  CrsWindow window(request, owner_);
  if (window.exec() != QDialog::Accepted) return std::nullopt;
  return window.Chosen();
}

CrsWindow::CrsWindow(const CrsRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
  setObjectName("CrsWindow");
  setWindowTitle(FromUtf8(kCrsTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(QStringLiteral("作业的坐标系（测量的 N 为北坐标，E 为东坐标）："), this));
  filter_ = new QLineEdit(this);
  filter_->setObjectName("CrsFilter");
  filter_->setPlaceholderText(QStringLiteral("筛选，如 CGCS2000、114E、zone 38、4547"));
  layout->addWidget(filter_);
  list_ = new QListWidget(this);
  list_->setObjectName("CrsList");
  list_->setMinimumSize(560, 320);
  layout->addWidget(list_, 1);
  auto* typedRow = new QFormLayout;
  typed_ = new QLineEdit(this);
  typed_->setObjectName("CrsCode");
  typed_->setPlaceholderText(QStringLiteral("列表之外的投影坐标系，如 EPSG:32650"));
  typedRow->addRow(QStringLiteral("EPSG 代码："), typed_);
  layout->addLayout(typedRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确 定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取 消"));
  layout->addWidget(buttons);

  connect(filter_, &QLineEdit::textChanged, this, &CrsWindow::ShowMatching);
  connect(list_, &QListWidget::itemDoubleClicked, this, &CrsWindow::Accept);
  connect(buttons, &QDialogButtonBox::accepted, this, &CrsWindow::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ShowMatching({});
}

void CrsWindow::ShowMatching(const QString& filter) {
  list_->clear();
  for (const CrsEntry& entry : request_.systems) {
    const QString label = FromUtf8(CrsLabel(entry));
    if (!filter.isEmpty() && !label.contains(filter.trimmed(), Qt::CaseInsensitive)) continue;
    auto* item = new QListWidgetItem(label, list_);
    item->setData(kCodeRole, FromUtf8(entry.code));
    if (entry.code == request_.current) list_->setCurrentItem(item);
  }
}

// A typed code wins over the list; one that names no projected system is
// told, and the dialog stays.
void CrsWindow::Accept() {
  const QString typed = typed_->text().trimmed();
  if (!typed.isEmpty()) {
    try {
      chosen_ = request_.lookUp(typed.toStdString());
    } catch (const std::exception& error) {
      QMessageBox::warning(this, FromUtf8(kCaptionWarning), FromUtf8(error.what()));
      return;
    }
  } else if (const QListWidgetItem* item = list_->currentItem()) {
    const std::string code = item->data(kCodeRole).toString().toStdString();
    for (const CrsEntry& entry : request_.systems) {
      if (entry.code == code) chosen_ = entry;
    }
  } else {
    QMessageBox::warning(this, FromUtf8(kCaptionWarning),
                         QStringLiteral("请在列表中选一个坐标系，或输入 EPSG 代码"));
    return;
  }
  accept();
}

}  // namespace lumaq::ui
