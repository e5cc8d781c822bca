// The receive journal in the real window, offscreen: a receive from the
// simulated instrument keeps its frames in XDG_STATE_HOME/lumaq until the
// job is saved, and a journal left behind is offered back at start-up in a
// real message box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/Zivoru_main.h"
#include "comm/FramesFile.h"
#include "comm/JournalLayout.h"
#include "comm/ui/Trans.h"
#include "comm/ui/Unit3.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ActiveMainWindow.h"
#include "support/InstrumentFrames.h"
#include "support/InstrumentRun.h"
#include "support/ModalDialogs.h"
#include "support/SampleRecords.h"
#include "support/ScopedEnvironment.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;

class JournalWindowTest : public ::testing::Test {
 protected:
  // The window reads XDG_STATE_HOME as it is made.
  void SetUp() override { environment.Set("XDG_STATE_HOME", dir.Path("state")); }

  std::vector<std::string> JournalFolderFiles() const {
    std::vector<std::string> names;
    if (!fs::exists(journals)) return names;
    for (const auto& entry : fs::directory_iterator(journals)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  test::TempDir dir;
  const std::string journals = dir.Path("state/lumaq");
  test::ScopedEnvironment environment;
  test::ModalDialogs script;
};

TEST_F(JournalWindowTest, AReceiveKeepsItsJournalInTheStateFolderUntilTheJobIsSaved) {
  test::ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs, dir.Folder()};
  ASSERT_NO_FATAL_FAILURE(test::StartActiveMainWindow(form));

  const JobText records = test::TopoRecords(12);
  const auto instrument = test::InstrumentOnCom1(
      dir, {"--pause", "20", "send-job", dir.Write("JOB.BDT", JoinLinesCrLf(records))});
  test::InstrumentRun& run = *instrument;
  QPointer<ui::TForm2> transfer;
  script.Next<ui::TForm3>([&](ui::TForm3* settings) {
    transfer = qobject_cast<ui::TForm2*>(settings->parentWidget());
    settings->Button1->click();
  });
  // While the transfer runs: the journal holds the frames accepted so far.
  std::vector<std::string> during;
  std::size_t framesDuring = 0;
  script.While([&] { return transfer.isNull() || transfer->Label3->text().toInt() < 2; },
               [&] {
                 during = JournalFolderFiles();
                 if (during.size() == 1) {
                   framesDuring = ReadJournal(journals + "/" + during[0]).frames.size();
                 }
               });
  QTest::keyClick(&form, Qt::Key_F9);
  EXPECT_TRUE(script.AllDone());
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  ASSERT_EQ(during.size(), 1u);
  EXPECT_EQ(during[0].rfind("receive-", 0), 0u) << during[0];
  EXPECT_GE(framesDuring, 2u);

  // Finished: all the frames, and still there while the job is not saved.
  ASSERT_EQ(JournalFolderFiles(), during);
  EXPECT_EQ(ReadJournal(journals + "/" + during[0]).frames, test::BinaryCoordinateFrames(records));
  EXPECT_EQ(form.Job().JobText, records);

  dialogs.NextSaveAnswer(FileChoice{dir.Path("FIELD.BDT"), 1});
  form.MenuJobSave->trigger();
  EXPECT_EQ(ReadFileBytes(dir.Path("FIELD.BDT")), JoinLinesCrLf(records));
  EXPECT_TRUE(JournalFolderFiles().empty());
}

TEST_F(JournalWindowTest, AJournalLeftBehindIsOfferedAtStartUp) {
  struct Case {
    const char* label;
    QMessageBox::StandardButton answer;
  } cases[] = {{"Yes restores", QMessageBox::Yes}, {"No sets it aside", QMessageBox::No}};
  const JobText records = test::TopoRecords(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(journals);
    fs::create_directories(journals);
    const std::string path = journals + "/receive-20261209-140300.journal";
    WriteFramesFile(path, test::BinaryCoordinateFrames(records));

    test::ModalDialogs boxes;
    std::string question;
    boxes.Next<QMessageBox>([&](QMessageBox* box) {
      question = box->text().toStdString();
      box->button(c.answer)->click();
    });
    ui::TForm1 form;  // the real boxes
    form.FormCreate({}, /*showSplash=*/false);
    form.show();
    EXPECT_TRUE(boxes.AllDone());
    EXPECT_NE(question.find("发现上次未保存的接收数据：共 3 帧"), std::string::npos) << question;

    if (c.answer == QMessageBox::Yes) {
      EXPECT_EQ(form.StringGrid1->model()->index(2, kColName).data().toString(), "P3");
      EXPECT_EQ(form.PanelLabel(StatusPanel::kCount)->text(), QString::fromUtf8("总数:3"));
      EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Job1--全站仪坐标记录文件"));
      EXPECT_TRUE(form.Commands().HasUnsavedReceivedLines());
      EXPECT_TRUE(fs::exists(path)) << "kept until saved";
    } else {
      EXPECT_TRUE(form.Job().JobText.empty());
      const std::vector<std::string> files = JournalFolderFiles();
      ASSERT_EQ(files.size(), 1u);
      EXPECT_EQ(files[0].rfind("receive-20261209-140300.journal.", 0), 0u) << files[0];
    }
  }
}

}  // namespace
}  // namespace lumaq
