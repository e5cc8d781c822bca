// The job's files: the save prompt, where the file dialogs start and which
// type they offer, what Save says it left out, and the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/MainCommands.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/HeadlessWindow.h"
#include "support/SampleRecords.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::TempDir;

using test::kCoordTitle;
using test::kMeasTitle;
using test::RecordLines;

std::string RawRecords(int count) {
  std::string bytes(static_cast<std::size_t>(count) * 42, '\x01');
  bytes[0] = '\x81';
  return bytes;
}

// The program's folder, and a folder for the user's files; made before the
// window that starts in the first.
struct Folders {
  TempDir program;
  TempDir dir;
};

class MainFileCommandsTest : public ::testing::Test,
                             protected Folders,
                             protected test::HeadlessWindow {
 protected:
  MainFileCommandsTest() : HeadlessWindow(program.Folder()) {}
  void SetUp() override {
    commands.StartUp({});
    for (const char* folder : {"a", "b", "c"}) std::filesystem::create_directory(dir.Path(folder));
  }
};

TEST_F(MainFileCommandsTest, YesThenACancelledOrFailedSaveAsAbandonsTheCallingCommand) {
  const struct {
    const char* label;
    std::function<void()> run;
  } commandsAsking[] = {
      {"New", [this] { commands.MenuJobNewClick(); }},
      {"Open", [this] { commands.MenuJobOpenClick(); }},
      {"Exit", [this] { EXPECT_FALSE(commands.CanClose()); }},
      {"Receive", [this] { EXPECT_FALSE(commands.PrepareReceive()); }},
      {"Import", [this] { exchange.MenuJobImportClick(); }},
  };
  SetRecord(1, "P1", "1", "2");
  commands.StringGrid1KeyDown(false);
  for (const auto& command : commandsAsking) {
    for (const bool fails : {false, true}) {
      SCOPED_TRACE(std::string(command.label) +
                   (fails ? ", Save As fails" : ", Save As cancelled"));
      dialogs.NextMessageAnswer(MessageResult::kYes);
      if (fails) {
        dialogs.NextSaveAnswer(FileChoice{dir.Path("no/such/folder/JOB.BDT"), 1});
        EXPECT_THROW(command.run(), FileError);
      } else {
        dialogs.NextSaveAnswer(std::nullopt);
        command.run();
      }
      EXPECT_TRUE(dialogs.openRequests.empty());
      EXPECT_EQ(view.caption, std::string("Job1") + kCoordTitle);
      EXPECT_EQ(table.Cell(kColName, 1), "P1");
      EXPECT_TRUE(job.Modified);
      EXPECT_TRUE(job.Untitled);
      EXPECT_TRUE(dialogs.AllAnswersUsed());
    }
  }
  EXPECT_EQ(dialogs.saveRequests.size(), 10u);
  EXPECT_EQ(dialogs.saveRequests[0].fileName, "Job1");
  // Nothing was written: the folder holds its three subfolders alone.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), {}), 3);
}

TEST_F(MainFileCommandsTest, OpenAndImportShareOneFileTypeSaveAsAndExportAnother) {
  dialogs.NextOpenAnswer(FileChoice{dir.Write("NOTES.TXT", "text\r\n"), 3});
  commands.MenuJobOpenClick();
  commands.MenuJobNewClick();  // a coordinate job again
  dialogs.NextSaveAnswer(std::nullopt);
  commands.MenuJobSaveAsClick();
  dialogs.NextSaveAnswer(FileChoice{dir.Path("JOB.TXT"), 2});
  commands.MenuJobSaveAsClick();
  dialogs.NextSaveAnswer(std::nullopt);
  exchange.MenuJobExportClick();
  dialogs.NextOpenAnswer(std::nullopt);
  exchange.MenuJobImportClick();
  dialogs.NextOpenAnswer(std::nullopt);
  commands.MenuJobOpenClick();

  ASSERT_EQ(dialogs.saveRequests.size(), 3u);
  EXPECT_EQ(dialogs.saveRequests[0].filterIndex, 1) << "Save As has not been used yet";
  EXPECT_EQ(dialogs.saveRequests[2].filterIndex, 2) << "Export after Save As chose TXT";
  ASSERT_EQ(dialogs.openRequests.size(), 3u);
  EXPECT_EQ(dialogs.openRequests[1].filterIndex, 3) << "Import after Open chose TXT";
  EXPECT_EQ(dialogs.openRequests[2].filterIndex, 3) << "Open after Open chose TXT";
}

TEST_F(MainFileCommandsTest, SaveAsOfAJobWithAFileStartsAtThatFileWithItsType) {
  const std::string bdt = dir.Write("a/JOB.BDT", RecordLines(2));
  const std::string tsm = dir.Write("b/FIELD.tsm", RawRecords(2));
  const std::string txt = dir.Write("c/NOTES.TXT", "text\r\n");
  const struct {
    const char* label;
    std::string path;
    int openType;
    const char* folder;
    int saveType;  // the type of the file's own extension
  } cases[] = {
      {"coordinate job", bdt, 1, "a", 1},
      {"raw measurement job", tsm, 2, "b", 1},
      {"text", txt, 3, "c", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // The save dialog last chose its second type, somewhere else.
    dialogs.NextSaveAnswer(FileChoice{program.Path("OTHER.TXT"), 2});
    commands.MenuJobSaveAsClick();
    dialogs.NextOpenAnswer(FileChoice{c.path, c.openType});
    commands.MenuJobOpenClick();
    dialogs.NextSaveAnswer(std::nullopt);
    commands.MenuJobSaveAsClick();
    const FileDialogRequest& request = dialogs.saveRequests.back();
    EXPECT_EQ(request.initialFolder, dir.Path(c.folder));
    EXPECT_EQ(request.fileName, FileNameOf(c.path));
    EXPECT_EQ(request.filterIndex, c.saveType);
  }
  // Accepting it as offered keeps the raw records of the measurement file.
  dialogs.NextOpenAnswer(FileChoice{tsm, 2});
  commands.MenuJobOpenClick();
  dialogs.NextSaveAnswer(FileChoice{tsm, dialogs.saveRequests.back().filterIndex});
  commands.MenuJobSaveAsClick();
  EXPECT_EQ(ReadFileBytes(tsm), RawRecords(2));
  EXPECT_EQ(view.caption, std::string("FIELD.tsm") + kMeasTitle);
}

TEST_F(MainFileCommandsTest, EveryFileDialogStartsWhereTheUserLastWas) {
  dialogs.NextOpenAnswer(FileChoice{dir.Write("a/JOB.BDT", RecordLines(1)), 1});
  commands.MenuJobOpenClick();
  dialogs.NextOpenAnswer(FileChoice{dir.Write("b/PTS.DAT", "P1,C,1,2,3\r\n"), 4});
  exchange.MenuJobImportClick();
  dialogs.NextSaveAnswer(FileChoice{dir.Path("c/OUT.CSV"), 5});
  exchange.MenuJobExportClick();
  dialogs.NextSaveAnswer(std::nullopt);
  commands.MenuJobSaveAsClick();  // untitled after the import
  dialogs.NextOpenAnswer(std::nullopt);
  commands.MenuJobOpenClick();

  ASSERT_EQ(dialogs.openRequests.size(), 3u);
  ASSERT_EQ(dialogs.saveRequests.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].initialFolder, program.Folder()) << "first use";
  EXPECT_EQ(dialogs.openRequests[1].initialFolder, dir.Path("a"));
  EXPECT_EQ(dialogs.saveRequests[0].initialFolder, dir.Path("b"));
  EXPECT_EQ(dialogs.saveRequests[1].initialFolder, dir.Path("c"));
  EXPECT_EQ(dialogs.openRequests[2].initialFolder, dir.Path("c"));
}

TEST_F(MainFileCommandsTest, SaveSaysHowManyRowsItLeftOut) {
  const std::string path = dir.Path("a/JOB.BDT");
  SetRecord(1, "P1", "1", "2");
  SetRecord(2, "P2", "1", "");         // no E
  SetRecord(4, "", "3", "4");          // no name
  SetRecord(5, "", "", "", "7");       // a Z alone
  SetRecord(6, " ", "", "", "", " ");  // blanks only: nothing left out
  commands.StringGrid1KeyDown(false);
  dialogs.NextSaveAnswer(FileChoice{path, 1});
  dialogs.NextMessageAnswer(MessageResult::kOk);
  commands.MenuJobSaveClick();  // untitled: Save As
  SetRecord(2, "P2", "1", "2");
  dialogs.NextMessageAnswer(MessageResult::kOk);
  commands.MenuJobSaveClick();
  SetRecord(4, "", "", "");
  SetRecord(5, "", "", "");
  commands.MenuJobSaveClick();  // nothing left out: no box

  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].caption, "提示");
  EXPECT_EQ(dialogs.messages[0].text, "有3行缺少点号、N或E，没有写入文件。");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(dialogs.messages[1].text, "有2行缺少点号、N或E，没有写入文件。");
  // What is written does not change.
  EXPECT_EQ(ReadFileBytes(path), ComposeRecordLine("P1", "", "1", "2", "0.000") + "\r\n" +
                                     ComposeRecordLine("P2", "", "1", "2", "0.000") + "\r\n");
  EXPECT_FALSE(job.Modified);
}

TEST_F(MainFileCommandsTest, CommandLineOpensAFileOfAnyTypeAfterOpenAndOneBdtOtherwise) {
  const std::string bdt = dir.Write("a/JOB.BDT", RecordLines(3));
  const std::string lower = dir.Write("a/job.bdt", RecordLines(2));
  const std::string tsm = dir.Write("a/FIELD.TSM", RawRecords(1));
  const std::string tsmLower = dir.Write("a/field.tsm", RawRecords(1));
  const std::string txt = dir.Write("a/NOTES.TXT", "one\r\ntwo\r\n");
  const struct {
    const char* label;
    std::vector<std::string> arguments;
    std::string caption;  // the name in the title, or Job1 when nothing opens
    bool coordinates;
    std::string count;
  } cases[] = {
      {"--open JOB.BDT", {"--open", bdt}, std::string("JOB.BDT") + kCoordTitle, true, "总数:3"},
      {"--open job.bdt", {"--open", lower}, std::string("job.bdt") + kCoordTitle, true, "总数:2"},
      {"--open FIELD.TSM", {"--open", tsm}, std::string("FIELD.TSM") + kMeasTitle, false, ""},
      {"--open field.tsm", {"--open", tsmLower}, std::string("field.tsm") + kMeasTitle, false, ""},
      {"--open NOTES.TXT", {"--open", txt}, "NOTES.TXT", false, ""},
      {"Qt's options around --open",
       {"-platform", "xcb", "--open", bdt, "-reverse"},
       std::string("JOB.BDT") + kCoordTitle,
       true,
       "总数:3"},
      {"one JOB.BDT", {bdt}, std::string("JOB.BDT") + kCoordTitle, true, "点号总数:3"},
      {"-reverse JOB.BDT: two arguments",
       {"-reverse", bdt},
       std::string("Job1") + kCoordTitle,
       true,
       "总数:"},
      {"--open without a file", {"--open"}, std::string("Job1") + kCoordTitle, true, "总数:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    test::HeadlessWindow fresh(program.Folder());
    fresh.commands.StartUp(c.arguments);
    EXPECT_EQ(fresh.view.caption, c.caption);
    EXPECT_EQ(fresh.job.CoordinateMode, c.coordinates);
    if (c.coordinates) {
      EXPECT_EQ(fresh.view.panels[StatusPanel::kCount], c.count);
    }
    EXPECT_FALSE(fresh.job.Modified);
    // The open dialog then starts in the folder of the file opened.
    fresh.dialogs.NextOpenAnswer(std::nullopt);
    fresh.commands.MenuJobOpenClick();
    EXPECT_EQ(fresh.dialogs.openRequests[0].initialFolder,
              c.caption.rfind("Job1", 0) == 0 ? program.Folder() : dir.Path("a"));
  }
}

TEST_F(MainFileCommandsTest, CommandLineFileThatCannotBeReadLeavesJob1) {
  EXPECT_THROW(commands.StartUp({"--open", dir.Path("MISSING.TSM")}), FileError);
  EXPECT_EQ(view.caption, std::string("Job1") + kCoordTitle);
  EXPECT_TRUE(job.CoordinateMode);
  EXPECT_TRUE(job.Untitled);
}

}  // namespace
}  // namespace lumaq
