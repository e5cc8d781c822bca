// TAboutBox: the about box, which also serves as the start-up splash.
#pragma once

#include <QDialog>
#include <QTimer>

namespace lumaq::ui {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  // asSplash: Timer1 closes the box after 1500 ms; otherwise it stays until
  // clicked.
  explicit TAboutBox(bool asSplash, QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;  // Panel1Click

 private:
  QTimer Timer1;
};

}  // namespace lumaq::ui
