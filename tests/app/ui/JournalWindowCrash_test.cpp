// A receive in the real window killed for real: the window (the transfer
// driver of bench/ui, offscreen) receives from the simulated instrument,
// which hangs up after its frame n was answered 0x00; the window is killed
// with SIGKILL while the line error still holds its dialog, before anything
// is saved. A new window then offers the journal left behind, and 是 gives
// back the n records byte for byte.
#ifdef LUMAQ_TRANSFER_WINDOW

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/AwaitText.h"
#include "support/ChildProcess.h"
#include "support/InstrumentRun.h"
#include "support/SampleRecords.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using test::AwaitText;

// The driver's own folder, which a killed driver leaves behind.
struct DriverFolder {
  ~DriverFolder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
  }
  fs::path path;
};

TEST(JournalWindowCrash, AKilledReceiveIsRestoredAtTheNextStartByteForByte) {
  test::TempDir dir;
  const JobText records = test::TopoRecords(40);
  const int n = 25;
  test::InstrumentRun instrument(
      dir, {"--pty", "--verbose", "--timeout", "300", "--hangup-after", std::to_string(n),
            "send-job", dir.Write("JOB.BDT", JoinLinesCrLf(records))});
  DriverFolder driver;
  {
    test::ChildProcess window(LUMAQ_TRANSFER_WINDOW, {"receive", instrument.FarPath()},
                              dir.Path("window-errors.txt"));
    driver.path =
        fs::temp_directory_path() / ("lumaq-transfer-window-" + std::to_string(window.Pid()));
    // The line error after the hang-up holds the dialog for 2 s before the
    // receive ends; the kill comes long before.
    const bool hungUp = AwaitText(dir.Path("instrument-errors.txt"),
                                  "hung up after frame " + std::to_string(n), 60s);
    window.Signal(SIGKILL);
    EXPECT_EQ(window.WaitForExit(10s), -1);
    ASSERT_TRUE(hungUp) << instrument.Errors();
  }
  const std::string journals = (driver.path / "state").string();
  ASSERT_TRUE(fs::is_directory(journals)) << "killed before the receive began";

  test::ScriptedDialogs dialogs;
  dialogs.NextMessageAnswer(MessageResult::kYes);
  ui::TForm1 form{&dialogs, dir.Folder()};
  form.Commands().Journals().SetFolder(journals);
  form.FormCreate({}, /*showSplash=*/false);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].text.find("共 " + std::to_string(n) + " 帧"), std::string::npos)
      << dialogs.messages[0].text;
  EXPECT_EQ(JoinLinesCrLf(form.Job().JobText),
            JoinLinesCrLf(JobText(records.begin(), records.begin() + n)));
  EXPECT_EQ(form.Table().CountRecords(), n);
  EXPECT_TRUE(form.Commands().HasUnsavedReceivedLines());
}

}  // namespace
}  // namespace lumaq

#endif  // LUMAQ_TRANSFER_WINDOW
