// Lumaq: start-up of the program window.
#include <csignal>
#include <exception>
#include <string>
#include <vector>

#include "app/ui/LumaqApplication.h"
#include "app/ui/Zivoru_main.h"
#include "ui/ErrorBox.h"

int main(int argc, char** argv) {
  // A file grown past the size limit fails its write, which the error box
  // reports, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  lumaq::ui::LumaqApplication app(argc, argv);
  // Qt has taken its own options out of argv; the rest belongs to the program.
  const QStringList qtArguments = QApplication::arguments();
  std::vector<std::string> arguments;
  for (qsizetype i = 1; i < qtArguments.size(); ++i) {
    arguments.push_back(qtArguments[i].toStdString());
  }
  lumaq::ui::TForm1 Form1;
  try {
    Form1.FormCreate(arguments);
  } catch (const std::exception& error) {
    lumaq::ui::ShowErrorBox(error);
  }
  Form1.show();
  return QApplication::exec();
}
