#include "comm/ui/Unit3.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <utility>

#include "comm/Dispatcher.h"
#include "comm/PortNames.h"
#include "comm/SerialDevices.h"
#include "records/SettingsLocation.h"
#include "ui/AnsiText.h"
#include "ui/ErrorBox.h"
#include "ui/WindowPlacement.h"

namespace lumaq::ui {
namespace {

const DeviceDatabase& DatabaseOr(const DeviceDatabase* given,
                                 std::unique_ptr<DeviceDatabase>& own) {
  if (given != nullptr) return *given;
  own = CreateDeviceDatabase();
  return *own;
}

}  // namespace

TForm3::TForm3(TComPort& port, const std::string& programFolder, QWidget* parent,
               const DeviceDatabase* devices)
    : QDialog(parent),
      port_(port),
      programFolder_(programFolder),
      devices_(DatabaseOr(devices, ownDevices_)) {
  setWindowTitle(QStringLiteral("通讯设置"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);

  GroupBox1 = new QGroupBox(QStringLiteral("设  置"), this);
  Label1 = new QLabel(QStringLiteral("串  口"), GroupBox1);
  ComboBox1 = new QComboBox(GroupBox1);
  ComboBox1->setEditable(false);
  ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
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
  Button2 = new QPushButton(QStringLiteral("取消"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);

  FormCreate();

  // Connected only now: what FormCreate selects changes nothing on the port.
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox1Change);
  connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox1Change);
  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  connect(&rescan_, &QTimer::timeout, this, &TForm3::RescanPorts);
  rescan_.start(kPortListInterval);

  adjustSize();
  CentreOnScreen(this);
}

void TForm3::ShowOnItsOwn(const std::string& programFolder, QWidget* parent) {
  LoopDispatcher unused;  // the port is never opened
  TComPort port(unused);
  ApplyComPort1Design(port);
  TForm3 settings(port, programFolder, parent);
  settings.exec();
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
      storedMap_ = ComPortMap::FromSettingsFile(file);
    }
  } catch (const std::exception&) {
    // The port keeps the settings it had; the dialog works on them.
    ShowErrorBoxWhenVisible(std::current_exception(), this);
  }
  port_.SetPortMap(storedMap_);
  ShowPorts(ListedPorts());

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

std::vector<PortEntry> TForm3::ListedPorts() {
  try {
    lastDevices_ = SerialDevicesIn(devices_.TtyDevices());
  } catch (const std::exception&) {
    if (!std::exchange(devicesFailed_, true)) {
      ShowErrorBoxWhenVisible(std::current_exception(), this);
    }
  }
  PortList list = ListPorts(lastDevices_, ChosenMap(), port_.Port());
  // The port in use is shown even when its device is not there.
  for (PortEntry& absent : list.absent) {
    if (absent.comName != port_.Port()) continue;
    const auto at = std::upper_bound(list.present.begin(), list.present.end(), absent, InComOrder);
    list.present.insert(at, std::move(absent));
    break;
  }
  return list.present;
}

void TForm3::ShowPorts(std::vector<PortEntry> ports) {
  const QSignalBlocker quiet(ComboBox1);
  ComboBox1->clear();
  shown_ = std::move(ports);
  auto* items = qobject_cast<QStandardItemModel*>(ComboBox1->model());
  for (const PortEntry& entry : shown_) {
    ComboBox1->addItem(FromUtf8(PortItemText(entry)), QString::fromStdString(entry.comName));
    // More devices than port names: the rest cannot be chosen.
    if (entry.comName.empty() && items != nullptr) {
      items->item(ComboBox1->count() - 1)->setEnabled(false);
    }
  }
  ComboBox1->setCurrentIndex(ComboBox1->findData(QString::fromStdString(port_.Port())));
}

void TForm3::RescanPorts() {
  // Not under the user's hand.
  if (ComboBox1->view()->isVisible()) return;
  std::vector<PortEntry> ports = ListedPorts();
  if (ports != shown_) ShowPorts(std::move(ports));
}

ComPortMap TForm3::ChosenMap() const {
  ComPortMap map = storedMap_;
  if (newPort_) map.Map(std::stoi(newPort_->comName.substr(3)), newPort_->mapTo);
  return map;
}

void TForm3::ComboBox1Change() {
  try {
    const int index = ComboBox1->currentIndex();
    if (index >= 0 && !shown_[static_cast<std::size_t>(index)].comName.empty()) {
      const PortEntry& entry = shown_[static_cast<std::size_t>(index)];
      // A new device keeps its name through later looks, which find it by
      // the map; another name drops it.
      if (!entry.mapTo.empty()) {
        newPort_ = entry;
      } else if (newPort_ && newPort_->comName != entry.comName) {
        newPort_.reset();
      }
      port_.SetPortMap(ChosenMap());
      port_.SetPort(entry.comName);
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
    if (newPort_) {
      StorePortMapEntry(file, newPort_->comName, newPort_->mapTo);
    }
    port_.StoreSettings(stIniFile, file);
  } catch (const std::exception& error) {
    ShowErrorBox(error, this);
    return;
  }
  accept();
}

void TForm3::Button2Click() {
  cancelled_ = true;
  reject();
}

}  // namespace lumaq::ui
