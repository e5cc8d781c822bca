// TForm3: the communication settings dialog. The transfer dialog shows it
// before every transfer to choose the port and the baud rate of its ComPort1;
// the choice applies to the port at once and OK keeps it in "Commpara" where
// SettingsFilePath says (beside the program, or the user's configuration
// folder when the program's folder cannot be written).
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <string>

#include "comm/ComPort.h"

namespace lumaq::ui {

// The rates the dialog offers, by list index; 14400 is not among them.
inline constexpr std::array<TBaudRate, 6> kBaudList = {br600,  br1200, br2400,
                                                       br4800, br9600, br19200};
// The entry shown when the port's rate is not in the list (9600).
inline constexpr int kBaudListFallback = 4;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  // port: the transfer dialog's ComPort1, which must outlive the dialog.
  // programFolder: the program's folder, which decides where "Commpara" is
  // read and written (SettingsFilePath). A settings file that cannot be read
  // is reported in the error box once the dialog shows.
  TForm3(TComPort& port, const std::string& programFolder, QWidget* parent = nullptr);

  // A change in either list: the selected port and rate go to the port.
  void ComboBox1Change();
  // OK: stores the port's settings and closes. A settings file that cannot
  // be written is reported and the dialog stays open.
  void Button1Click();

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QComboBox* ComboBox1;  // port names; each item's data is its COM name
  QLabel* Label2;
  QComboBox* ComboBox2;
  QPushButton* Button1;

 private:
  void FormCreate();
  std::string SettingsFile() const;

  TComPort& port_;
  std::string programFolder_;
};

}  // namespace lumaq::ui
