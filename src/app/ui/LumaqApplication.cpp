#include "app/ui/LumaqApplication.h"

#include <QLibraryInfo>
#include <QTranslator>

#include "ui/ErrorBox.h"

namespace lumaq::ui {
namespace {

// Installs Qt's zh_CN translation so standard buttons and dialogs read in
// Chinese.
void InstallChineseTranslation(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
}

}  // namespace

LumaqApplication::LumaqApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Lumaq");
  InstallChineseTranslation(*this);
}

bool LumaqApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowErrorBox(error);
  }
  return false;
}

}  // namespace lumaq::ui
