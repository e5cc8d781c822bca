// TForm3: the communication settings dialog. The transfer dialog shows it
// before every transfer to choose the port and the baud rate of its ComPort1;
// the choice applies to the port at once and OK keeps it in "Commpara" where
// SettingsFilePath says (beside the program, or the user's configuration
// folder when the program's folder cannot be written). The close box leaves
// the choice on the port for this transfer alone; 取消 ends the transfer
// before the port opens. The menu item 通讯设置 shows it on its own.
//
// The port list holds the serial devices present (PortList.h), each with what
// it is, and the stored port, marked absent when its device is not there. It
// follows adapters plugged in or pulled out: the dialog looks again every
// second. A periodic look rather than udev's event monitor, because the
// ports that [PortMap] leads to a pseudo-terminal or a link raise no device
// events, and where no udev daemon runs (a container) no events come at
// all; a look costs well under a millisecond.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm/ComPort.h"
#include "comm/DeviceDatabase.h"
#include "comm/PortList.h"

namespace lumaq::ui {

// The rates the dialog offers, by list index; 14400 is not among them.
inline constexpr std::array<TBaudRate, 6> kBaudList = {br600,  br1200, br2400,
                                                       br4800, br9600, br19200};
// The entry shown when the port's rate is not in the list (9600).
inline constexpr int kBaudListFallback = 4;
// How often the port list looks for devices plugged in or pulled out.
inline constexpr std::chrono::milliseconds kPortListInterval{1000};

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  // port: the transfer dialog's ComPort1, which must outlive the dialog.
  // programFolder: the program's folder, which decides where "Commpara" is
  // read and written (SettingsFilePath). devices: the device database the
  // list comes from, which must outlive the dialog; the system's when null.
  // A settings file or device database that cannot be read is reported in
  // the error box once the dialog shows.
  TForm3(TComPort& port, const std::string& programFolder, QWidget* parent = nullptr,
         const DeviceDatabase* devices = nullptr);

  // The menu item 通讯设置: the dialog on a port of its own, to choose and
  // store the port and the rate; 取消 and the close box store nothing.
  static void ShowOnItsOwn(const std::string& programFolder, QWidget* parent);

  // A change in either list: the selected port and rate go to the port.
  void ComboBox1Change();
  // OK: stores the port's settings, with the [PortMap] entry of a device
  // that had no port name of its own, and closes. A settings file that
  // cannot be written is reported and the dialog stays open.
  void Button1Click();
  // 取消: closes; Cancelled() tells the transfer dialog to end.
  void Button2Click();
  bool Cancelled() const { return cancelled_; }
  // Looks at the devices again; the list changes only when they did.
  void RescanPorts();

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QComboBox* ComboBox1;  // the ports; each item's data is its COM name
  QLabel* Label2;
  QComboBox* ComboBox2;
  QPushButton* Button1;
  QPushButton* Button2;

 private:
  void FormCreate();
  std::string SettingsFile() const;
  // The ports there are now; the devices of the last look when the database
  // cannot be read (reported once).
  std::vector<PortEntry> ListedPorts();
  void ShowPorts(std::vector<PortEntry> ports);
  // [PortMap] of the settings file, with the entry of the device chosen.
  ComPortMap ChosenMap() const;

  TComPort& port_;
  std::string programFolder_;
  std::unique_ptr<DeviceDatabase> ownDevices_;
  const DeviceDatabase& devices_;
  std::vector<SerialDeviceInfo> lastDevices_;
  bool devicesFailed_ = false;
  ComPortMap storedMap_;
  std::vector<PortEntry> shown_;  // the items of ComboBox1
  // A device without a port name of its own, chosen: stored as [PortMap]
  // comName=mapTo with OK.
  std::optional<PortEntry> newPort_;
  QTimer rescan_;
  bool cancelled_ = false;
};

}  // namespace lumaq::ui
