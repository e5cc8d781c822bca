// The dialog of 工具 > 坐标系: PROJ's list of the job's reference systems,
// each with its name and EPSG code, a filter over it, and a line to type any
// EPSG code instead. Behind the CrsDialog seam of app/CrsCommand.h.
#pragma once

#include <QDialog>

#include "app/CrsCommand.h"

class QLineEdit;
class QListWidget;

namespace lumaq::ui {

class QtCrsDialog : public CrsDialog {
 public:
  explicit QtCrsDialog(QWidget* owner) : owner_(owner) {}
  std::optional<CrsEntry> AskCrs(const CrsRequest& request) override;

 private:
  QWidget* owner_;
};

// The window itself; AskCrs shows it modally.
class CrsWindow : public QDialog {
  Q_OBJECT

 public:
  CrsWindow(const CrsRequest& request, QWidget* parent);
  const CrsEntry& Chosen() const { return chosen_; }

 private:
  void ShowMatching(const QString& filter);
  void Accept();

  const CrsRequest& request_;
  QLineEdit* filter_ = nullptr;
  QListWidget* list_ = nullptr;
  QLineEdit* typed_ = nullptr;
  CrsEntry chosen_;
};

}  // namespace lumaq::ui
