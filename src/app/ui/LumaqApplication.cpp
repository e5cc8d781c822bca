#include "app/ui/LumaqApplication.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <utility>

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

std::vector<std::string> ArgumentsOf(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

}  // namespace

// The arguments are copied before the base class is built: QApplication takes
// its own options out of argv.
LumaqApplication::LumaqApplication(int& argc, char** argv)
    : LumaqApplication(ArgumentsOf(argc, argv), argc, argv) {}

LumaqApplication::LumaqApplication(std::vector<std::string> typedArguments, int& argc, char** argv)
    : QApplication(argc, argv), typedArguments_(std::move(typedArguments)) {
  setApplicationName("Lumaq");
  // The desktop entry it was installed with, for the desktop's task list.
  setDesktopFileName("lumaq");
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
