// The application object: Qt's own Chinese texts, and one standard error box
// for every error that escapes a handler, after which the program goes on.
#pragma once

#include <QApplication>
#include <exception>

namespace lumaq::ui {

class LumaqApplication : public QApplication {
 public:
  LumaqApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace lumaq::ui
