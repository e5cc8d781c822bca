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

// Installs Qt's zh_CN translation so standard buttons and dialogs read in
// Chinese.
void InstallChineseTranslation(QApplication& app);

}  // namespace lumaq::ui
