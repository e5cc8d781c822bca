// Lumaq: start-up of the program window.
#include <csignal>
#include <exception>

#include "app/ui/LumaqApplication.h"
#include "app/ui/Zivoru_main.h"
#include "ui/ErrorBox.h"

int main(int argc, char** argv) {
  // A file grown past the size limit fails its write, which the error box
  // reports, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  lumaq::ui::LumaqApplication app(argc, argv);
  lumaq::ui::TForm1 Form1;
  try {
    // The arguments as typed: Qt's own options count too.
    Form1.FormCreate(app.TypedArguments());
  } catch (const std::exception& error) {
    lumaq::ui::ShowErrorBox(error);
  }
  Form1.show();
  return QApplication::exec();
}
