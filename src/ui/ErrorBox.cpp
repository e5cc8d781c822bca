#include "ui/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace lumaq::ui {

void ShowErrorBox(const std::exception& error, QWidget* parent) {
  QString text = QString::fromUtf8(error.what());
  if (!text.endsWith('.') && !text.endsWith(QChar(0x3002))) text += QChar(0x3002);
  QMessageBox::critical(parent != nullptr ? parent : QApplication::activeWindow(),
                        QApplication::applicationName(), text);
}

}  // namespace lumaq::ui
