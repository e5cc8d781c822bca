// One transfer through the real main window, offscreen, for
// bench/transfer_bench.sh: COM1 leads to DEVICE through [PortMap] of a
// "Commpara" in a folder of its own, the settings dialog is accepted as soon
// as it shows, and the program ends when the transfer dialog has closed.
//
// usage: lumaq_transfer_window receive DEVICE
//        lumaq_transfer_window receive-at-end DEVICE
//        lumaq_transfer_window send DEVICE JOB.BDT
// receive-at-end: the receive without the rows shown as they arrive.
// Prints the number of records in the job afterwards.
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/ui/Zivoru_main.h"
#include "comm/ui/Unit3.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

// Opens one file when asked; answers every question No.
class Answers : public UserDialogs {
 public:
  explicit Answers(std::string path) : path_(std::move(path)) {}
  MessageResult ShowMessage(const std::string&, const std::string& text, MessageIcon,
                            MessageButtons) override {
    std::fprintf(stderr, "lumaq_transfer_window: %s\n", text.c_str());
    return MessageResult::kNo;
  }
  std::optional<FileChoice> AskOpenFile(const FileDialogRequest&) override {
    return FileChoice{path_, 1};
  }
  std::optional<FileChoice> AskSaveFile(const FileDialogRequest&) override { return {}; }
  std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override { return nullptr; }

 private:
  std::string path_;
};

int Run(const std::string& direction, const std::string& device, const std::string& job) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("lumaq-transfer-window-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  WriteFileAtomically((folder / "Commpara").string(), "[PortMap]\r\nCOM1=" + device + "\r\n");

  Answers answers(job);
  ui::TForm1 form(&answers, folder.string());
  // The receive journal as in use, in the folder that goes afterwards.
  form.Commands().Journals().SetFolder((folder / "state").string());
  form.FormCreate({}, false);
  form.SetArrivingLinesShown(direction != "receive-at-end");
  form.show();
  if (direction == "send") form.MenuJobOpen->trigger();

  // The settings dialog, accepted once it shows.
  QTimer accept;
  QObject::connect(&accept, &QTimer::timeout, [&accept] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* settings = qobject_cast<ui::TForm3*>(window); settings && settings->isVisible()) {
        accept.stop();
        settings->Button1->click();
      }
    }
  });
  accept.start(1);
  (direction == "send" ? form.Menu_Send : form.MenuReceive)->trigger();

  std::printf("%zu\n", form.Job().JobText.size());
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace
}  // namespace lumaq

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments();
  const bool receive =
      arguments.size() == 3 && (arguments[1] == "receive" || arguments[1] == "receive-at-end");
  const bool send = arguments.size() == 4 && arguments[1] == "send";
  if (!receive && !send) {
    std::fprintf(stderr,
                 "usage: lumaq_transfer_window receive DEVICE\n"
                 "       lumaq_transfer_window receive-at-end DEVICE\n"
                 "       lumaq_transfer_window send DEVICE JOB.BDT\n");
    return 2;
  }
  return lumaq::Run(arguments[1].toStdString(), arguments[2].toStdString(),
                    send ? arguments[3].toStdString() : std::string());
}
