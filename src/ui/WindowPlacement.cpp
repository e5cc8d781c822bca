#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace lumaq::ui {

void CentreOnScreen(QWidget* window) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
}

}  // namespace lumaq::ui
