#include "comm/ui/Unit3.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <exception>
#include <vector>

#include "comm/PortNames.h"
#include "records/SettingsLocation.h"
#include "ui/ErrorBox.h"
#include "ui/WindowPlacement.h"

namespace lumaq::ui {

TForm3::TForm3(TComPort& port, const std::string& programFolder, QWidget* parent)
    : QDialog(parent), port_(port), programFolder_(programFolder) {
  setWindowTitle(QStringLiteral("通讯设置"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);

  GroupBox1 = new QGroupBox(QStringLiteral("设  置"), this);
  Label1 = new QLabel(QStringLiteral("串  口"), GroupBox1);
  ComboBox1 = new QComboBox(GroupBox1);
  ComboBox1->setEditable(false);
  Label1->setBuddy(ComboBox1);
  Label2 = new QLabel(QStringLiteral("波特率"), GroupBox1);
  ComboBox2 = new QComboBox(GroupBox1);
  ComboBox2->setEditable(false);
  Label2->setBuddy(ComboBox2);
  auto* rows = new QGridLayout(GroupBox1);
  rows->addWidget(Label1, 0, 0);
  rows->addWidget(ComboBox1, 0, 1);
  rows->addWidget(Label2, 1, 0);
  rows->addWidget(ComboBox2, 1, 1);
  rows->setColumnStretch(1, 1);

  Button1 = new QPushButton(QStringLiteral("确 定"), this);
  Button1->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);

  FormCreate();

  // Connected only now: what FormCreate selects changes nothing on the port.
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox1Change);
  connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox1Change);
  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);

  adjustSize();
  CentreOnScreen(this);
}

std::string TForm3::SettingsFile() const {
  return SettingsFilePath(programFolder_);
}

void TForm3::FormCreate() {
  const std::string file = SettingsFile();
  try {
    // Anything but a file (a folder of that name) is no settings file.
    if (IsSettingsFile(file)) {
      port_.LoadSettings(stIniFile, file);
      port_.SetPortMap(ComPortMap::FromSettingsFile(file));
    } else {
      port_.SetPortMap(ComPortMap());
    }
  } catch (const std::exception&) {
    // The port keeps the settings it had; the dialog works on them.
    ShowErrorBoxWhenVisible(std::current_exception(), this);
  }

  std::vector<std::string> names;
  EnumComPorts(names, port_.PortMap());
  for (const std::string& name : names) {
    const QString comName = QString::fromStdString(name);
    const QString device = QString::fromStdString(port_.PortMap().DevicePath(name));
    ComboBox1->addItem(QStringLiteral("%1  (%2)").arg(comName, device), comName);
  }
  ComboBox1->setCurrentIndex(ComboBox1->findData(QString::fromStdString(port_.Port())));

  for (TBaudRate rate : kBaudList) ComboBox2->addItem(QString::fromStdString(BaudRateToStr(rate)));
  int selected = kBaudListFallback;
  for (std::size_t i = 0; i < kBaudList.size(); ++i) {
    if (kBaudList[i] == port_.BaudRate()) {
      selected = static_cast<int>(i);
      break;
    }
  }
  ComboBox2->setCurrentIndex(selected);
}

void TForm3::ComboBox1Change() {
  try {
    if (ComboBox1->currentIndex() >= 0) {
      port_.SetPort(ComboBox1->currentData().toString().toStdString());
    }
    const int rate = ComboBox2->currentIndex();
    if (rate >= 0 && rate < static_cast<int>(kBaudList.size())) {
      port_.SetBaudRate(kBaudList[static_cast<std::size_t>(rate)]);
    }
  } catch (const std::exception& error) {
    // Only an open port can fail here (reopened on another device).
    ShowErrorBox(error, this);
  }
}

void TForm3::Button1Click() {
  try {
    const std::string file = SettingsFile();
    CreateSettingsFolder(file);
    port_.StoreSettings(stIniFile, file);
  } catch (const std::exception& error) {
    ShowErrorBox(error, this);
    return;
  }
  accept();
}

}  // namespace lumaq::ui
