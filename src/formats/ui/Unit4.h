// TForm4: the dialog in which the user defines the export layout of their
// own, opened from Tools > "自定义导出数据格式". It shows the layout stored in
// "Commpara" (or its designed values when there is none) and stores the
// entered one on OK.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "formats/UserFormat.h"

namespace lumaq::ui {

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  // programFolder: the program's folder, whose settings file (SettingsFilePath)
  // is looked for after "Commpara" in the current working directory.
  explicit TForm4(const std::string& programFolder, QWidget* parent = nullptr);

  // The layout as the controls now give it.
  UserFormat EnteredFormat() const;

  // OK: stores the entered layout and closes. A settings file that cannot be
  // written is reported and the dialog stays open.
  void BitBtn1Click();

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QComboBox* ComboBox3;
  QComboBox* ComboBox4;
  QComboBox* ComboBox5;
  QLabel* Label6;
  QLineEdit* Edit1;
  QLabel* Label7;
  QLineEdit* Edit2;
  QCheckBox* CheckBox1;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;

 private:
  void ShowStoredFormat();

  std::string programFolder_;
};

}  // namespace lumaq::ui
