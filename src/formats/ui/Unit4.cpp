#include "formats/ui/Unit4.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <optional>

#include "ui/AnsiText.h"
#include "ui/ErrorBox.h"
#include "ui/WindowPlacement.h"

namespace lumaq::ui {
namespace {

// The property that tells a list which output position it gives (0 to 4).
constexpr const char* kTag = "Tag";

constexpr int kNameMaxLength = 30;
constexpr int kExtensionMaxLength = 3;

}  // namespace

TForm4::TForm4(const std::string& programFolder, QWidget* parent)
    : QDialog(parent), programFolder_(programFolder) {
  setWindowTitle(QStringLiteral("自定义数据格式"));

  GroupBox1 = new QGroupBox(QStringLiteral("数据格式"), this);
  auto* fields = new QGridLayout(GroupBox1);
  QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
  QComboBox** lists[] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4, &ComboBox5};
  for (int i = 0; i < 5; ++i) {
    *labels[i] = new QLabel(QStringLiteral("字段%1").arg(i + 1), GroupBox1);
    *lists[i] = new QComboBox(GroupBox1);
    (*lists[i])->setEditable(false);
    (*lists[i])->setProperty(kTag, i);
    (*labels[i])->setBuddy(*lists[i]);
    fields->addWidget(*labels[i], 0, i);
    fields->addWidget(*lists[i], 1, i);
  }

  Label6 = new QLabel(QStringLiteral("数据格式名"), this);
  Edit1 = new QLineEdit(QStringLiteral("自定义1"), this);
  Edit1->setMaxLength(kNameMaxLength);
  // The limit is for typing: a longer name from the settings file stays
  // whole, and typing can only shorten it, down to the limit again.
  connect(Edit1, &QLineEdit::textEdited, this, [this] {
    Edit1->setMaxLength(std::max(kNameMaxLength, static_cast<int>(Edit1->text().size())));
  });
  Label6->setBuddy(Edit1);
  Label7 = new QLabel(QStringLiteral("文件扩展名"), this);
  Edit2 = new QLineEdit(QStringLiteral("dat"), this);
  Edit2->setMaxLength(kExtensionMaxLength);
  Label7->setBuddy(Edit2);
  CheckBox1 = new QCheckBox(QStringLiteral("添加序号"), this);

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                            QStringLiteral("确 定"), this);
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                            QStringLiteral("取消"), this);
  connect(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

  auto* names = new QGridLayout;
  names->addWidget(Label6, 0, 0);
  names->addWidget(Edit1, 0, 1);
  names->addWidget(Label7, 1, 0);
  names->addWidget(Edit2, 1, 1);
  names->addWidget(CheckBox1, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(names);
  layout->addLayout(buttons);

  ShowStoredFormat();

  adjustSize();
  CentreOnScreen(this);
}

void TForm4::ShowStoredFormat() {
  std::optional<UserFormat> stored;
  try {
    stored = ReadUserFormat(programFolder_);
  } catch (const std::exception&) {
    // The file is there but cannot be read: say so once the dialog is up, and
    // show the designed values.
    ShowErrorBoxWhenVisible(std::current_exception(), this);
  }
  if (stored) {
    const QString name = FromAnsi(stored->name);
    Edit1->setMaxLength(std::max(kNameMaxLength, static_cast<int>(name.size())));
    Edit1->setText(name);
    Edit2->setText(FromAnsi(stored->extension));
    CheckBox1->setChecked(stored->serialNumbers);
  }
  const QStringList items{QStringLiteral("点号"), QStringLiteral("N"), QStringLiteral("E"),
                          QStringLiteral("Z"), QStringLiteral("特征码")};
  for (QComboBox* list : findChildren<QComboBox*>()) {
    const int tag = list->property(kTag).toInt();
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(stored ? stored->order[static_cast<std::size_t>(tag)] : tag);
  }
}

UserFormat TForm4::EnteredFormat() const {
  UserFormat format;
  format.name = ToAnsi(Edit1->text());
  format.extension = ToAnsi(Edit2->text());
  const QComboBox* lists[] = {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5};
  for (std::size_t i = 0; i < 5; ++i) format.order[i] = lists[i]->currentIndex();
  format.serialNumbers = CheckBox1->isChecked();
  return format;
}

void TForm4::BitBtn1Click() {
  try {
    WriteUserFormat(EnteredFormat(), programFolder_);
  } catch (const std::exception& error) {
    ShowErrorBox(error, this);
    return;
  }
  accept();
}

}  // namespace lumaq::ui
