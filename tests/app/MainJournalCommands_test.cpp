// The receive journal of the main window's job, headless: made by a receive
// that runs through the real TransferSession on a scripted line, removed once
// the job is saved or dropped, and offered back at start-up when left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FileFilter.h"
#include "app/MainCommands.h"
#include "comm/AcceptedFrame.h"
#include "comm/FramesFile.h"
#include "comm/JournalFile.h"
#include "comm/JournalLayout.h"
#include "comm/LeftJournals.h"
#include "comm/TransferSession.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/FileSizeLimit.h"
#include "support/HeadlessWindow.h"
#include "support/InstrumentFrames.h"
#include "support/RawRecordBuilder.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kSaveQuestion = "您要保存对工作文件所作的更改吗？";

std::vector<Frame> CoordinateFrames(int count, int first = 1) {
  JobText lines;
  for (int i = first; i < first + count; ++i) {
    const std::string n = std::to_string(i);
    lines.push_back(ComposeRecordLine("P" + n, "", n + ".125", "2.500", "0.000"));
  }
  return test::BinaryCoordinateFrames(lines);
}

std::vector<Frame> MeasurementFrames() {
  return {test::TextFrame(0xA1, {{1, "P2"}, {17, "123.456"}, {25, "90.0000"}}),
          test::TextFrame(0xA1, {{1, "P3"}, {17, "12.345"}, {25, "45.3015"}})};
}

// The job a receive of frames makes from a new one.
JobDocument Received(const std::vector<Frame>& frames) {
  JobDocument job;
  RawUnitState units;
  bool coordinateData = job.CoordinateMode;
  for (const Frame& frame : frames) {
    coordinateData = HandleAcceptedFrame(frame.header, frame.body, job, units);
  }
  job.CoordinateMode = coordinateData;
  return job;
}

// "2026-12-09 14:03", the local time, written here without the program's
// helpers.
std::string LocalMinute(fs::file_time_type time) {
  const std::time_t seconds =
      std::chrono::system_clock::to_time_t(fs::file_time_type::clock::to_sys(time));
  char text[32] = "";
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&seconds));
  return text;
}

class MainJournalCommandsTest : public ::testing::Test {
 protected:
  // A window of the program that starts now, on the journal folder.
  test::HeadlessWindow& Start(const std::vector<std::string>& arguments = {}) {
    window = std::make_unique<test::HeadlessWindow>();
    window->commands.Journals().SetFolder(folder);
    window->commands.StartUp(arguments);
    return *window;
  }

  // A journal left behind, last written age ago.
  std::string LeaveJournal(const std::string& name, const std::vector<Frame>& frames,
                           std::chrono::seconds age = 60s) {
    fs::create_directories(folder);
    const std::string path = folder + "/" + name + ".journal";
    WriteFramesFile(path, frames);
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
    return path;
  }

  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    if (!fs::exists(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // F9 through the real session: the instrument sends the frames and its end
  // byte. duringReceive runs at the first read of the port.
  void Receive(const std::vector<Frame>& frames, const std::function<void()>& duringReceive = {},
               TransferOutcome outcome = TransferOutcome::kEndReceived) {
    test::HeadlessWindow& w = *window;
    ASSERT_TRUE(w.commands.PrepareReceive());
    test::TransferLog log;
    test::ScriptedTransferPort port(log);
    test::RecordingTransferView transferView(log);
    bool ran = false;
    port.onRead = [&] {
      if (!ran && duringReceive) duringReceive();
      ran = true;
    };
    TransferSession session(w.job, port, transferView, TransferDirection::kReceive);
    session.SetAcceptedFrameSink(w.commands.ReceiveJournalSink());
    session.FormShow();
    for (const Frame& frame : frames) {
      port.ReplyTo("\xBB", test::WithChecksum(frame.body));
      port.Arrive(std::string(1, static_cast<char>(frame.header)));
      session.ComPort1RxChar(1);
    }
    port.Arrive("\xEE");
    session.ComPort1RxChar(1);
    ASSERT_EQ(session.Outcome(), outcome);
    session.FormClose();
    w.commands.FinishReceive();
  }

  test::TempDir dir;
  const std::string folder = dir.Path("state/lumaq");
  std::unique_ptr<test::HeadlessWindow> window;
};

TEST_F(MainJournalCommandsTest, AReceiveKeepsItsFramesInAJournalUntilTheJobIsSaved) {
  test::HeadlessWindow& w = Start();
  const std::vector<Frame> frames = CoordinateFrames(3);
  std::string livePath;
  Receive(frames, [&] {
    livePath = w.commands.Journals().Path();
    EXPECT_TRUE(fs::exists(livePath)) << "made before the port opened";
  });
  ASSERT_FALSE(livePath.empty());
  EXPECT_EQ(fs::path(livePath).parent_path().string(), folder);
  EXPECT_EQ(ReadJournal(livePath).frames, frames);
  EXPECT_TRUE(FindLeftJournals(folder).empty()) << "held while the job is not saved";
  EXPECT_TRUE(w.dialogs.messages.empty());

  w.dialogs.NextSaveAnswer(FileChoice{dir.Path("FIELD.BDT"), 1});
  w.commands.MenuJobSaveClick();
  EXPECT_FALSE(fs::exists(livePath));
  EXPECT_EQ(ReadFileBytes(dir.Path("FIELD.BDT")), JoinLinesCrLf(Received(frames).JobText));
}

TEST_F(MainJournalCommandsTest, TheSaveQuestionDecidesTheJournal) {
  struct Case {
    const char* label;
    MessageResult answer;
    bool kept;
    // The command that asks; false: it stopped.
    std::function<bool(test::HeadlessWindow&)> command;
  } cases[] = {
      {"New, No", MessageResult::kNo, false,
       [](test::HeadlessWindow& w) {
         w.commands.MenuJobNewClick();
         return w.job.JobText.empty();
       }},
      {"New, Cancel", MessageResult::kCancel, true,
       [](test::HeadlessWindow& w) {
         w.commands.MenuJobNewClick();
         return w.job.JobText.empty();
       }},
      {"Exit, No", MessageResult::kNo, false,
       [](test::HeadlessWindow& w) { return w.commands.CanClose(); }},
      {"Exit, Cancel", MessageResult::kCancel, true,
       [](test::HeadlessWindow& w) { return w.commands.CanClose(); }},
      {"Open, No, then a file", MessageResult::kNo, false,
       [this](test::HeadlessWindow& w) {
         w.dialogs.NextOpenAnswer(FileChoice{dir.Write("O.BDT", "\r\n"), 1});
         w.commands.MenuJobOpenClick();
         return w.job.JobName == "O.BDT";
       }},
      // No, but no file chosen: the received records stay, and so does their
      // safety copy.
      {"Open, No, then no file", MessageResult::kNo, true,
       [](test::HeadlessWindow& w) {
         w.dialogs.NextOpenAnswer(std::nullopt);
         w.commands.MenuJobOpenClick();
         return false;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::HeadlessWindow& w = Start();
    Receive(CoordinateFrames(2));
    const std::string path = w.commands.Journals().Path();
    ASSERT_TRUE(fs::exists(path));
    w.dialogs.NextMessageAnswer(c.answer);
    EXPECT_EQ(c.command(w), !c.kept);
    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.dialogs.messages[0].text, kSaveQuestion);
    EXPECT_EQ(fs::exists(path), c.kept);
    EXPECT_EQ(w.commands.Journals().Live(), c.kept);
    window.reset();
    fs::remove_all(folder);
  }
}

TEST_F(MainJournalCommandsTest, AReceiveThatBroughtNothingRemovesItsJournalAtOnce) {
  test::HeadlessWindow& w = Start();
  Receive({});
  EXPECT_FALSE(w.commands.Journals().Live());
  EXPECT_TRUE(FilesInFolder().empty());
}

TEST_F(MainJournalCommandsTest, ASecondReceiveIntoTheSameJobKeepsBothInOneJournal) {
  test::HeadlessWindow& w = Start();
  Receive(CoordinateFrames(2));
  Receive(CoordinateFrames(3, 3));
  Receive({});  // nothing more: the job's frames stay
  ASSERT_EQ(FilesInFolder().size(), 1u);
  std::vector<Frame> all = CoordinateFrames(5);
  EXPECT_EQ(ReadJournal(w.commands.Journals().Path()).frames, all);
  EXPECT_EQ(w.job.JobText, Received(all).JobText);
}

TEST_F(MainJournalCommandsTest, AJournalThatCannotBeMadeIsToldOnceAndTheReceiveGoesOn) {
  // A file where the journal folder should be.
  dir.Write("state", "not a folder");
  test::HeadlessWindow& w = Start();
  w.dialogs.NextMessageAnswer(MessageResult::kOk);
  Receive(CoordinateFrames(2));
  ASSERT_EQ(w.dialogs.messages.size(), 1u);
  EXPECT_EQ(w.dialogs.messages[0].caption, kCaptionNote);
  EXPECT_NE(w.dialogs.messages[0].text.find(dir.Path("state")), std::string::npos)
      << w.dialogs.messages[0].text;
  EXPECT_EQ(w.job.JobText, Received(CoordinateFrames(2)).JobText);
  // The next receive says it in the status bar only.
  Receive(CoordinateFrames(1, 3));
  EXPECT_EQ(w.dialogs.messages.size(), 1u);
  EXPECT_EQ(w.view.panels[StatusPanel::kHint], kNoJournalStatusText);
  EXPECT_EQ(w.job.JobText, Received(CoordinateFrames(3)).JobText);
}

// Nothing is acknowledged that is not kept: the frame the journal cannot take
// ends the receive; the user learns why and where the frames are, and the
// job stays for a Save As elsewhere.
TEST_F(MainJournalCommandsTest, AJournalThatStopsEndsTheReceiveAndSaysWhereTheFramesAre) {
  test::HeadlessWindow& w = Start();
  std::optional<test::FileSizeLimit> limit;
  w.dialogs.NextMessageAnswer(MessageResult::kOk);
  // The journal's first bytes and two frames fit.
  Receive(
      CoordinateFrames(4), [&] { limit.emplace(kJournalMagic.size() + 2 * 34 + 10); },
      TransferOutcome::kFrameNotKept);
  limit.reset();
  const std::string path = w.commands.Journals().Path();
  EXPECT_EQ(ReadJournal(path).frames, CoordinateFrames(2));
  EXPECT_EQ(w.job.JobText, Received(CoordinateFrames(2)).JobText);
  ASSERT_EQ(w.dialogs.messages.size(), 1u);
  EXPECT_EQ(w.dialogs.messages[0].caption, kCaptionWarning);
  EXPECT_EQ(w.dialogs.messages[0].text,
            JournalStoppedText("无法写入文件 \"" + path + "\"：文件超过了允许的大小", path, 2));
  EXPECT_TRUE(w.commands.HasUnsavedReceivedLines());
}

// A received job that cannot be saved stays in the window, and the error
// says so; a job that was not received is reported as before.
TEST_F(MainJournalCommandsTest, AReceivedJobThatCannotBeSavedStaysAndTheUserIsTold) {
  test::HeadlessWindow& w = Start();
  Receive(CoordinateFrames(2));
  fs::create_directory(dir.Path("FOLDER.BDT"));
  w.dialogs.NextSaveAnswer(FileChoice{dir.Path("FOLDER.BDT"), 1});
  try {
    w.commands.MenuJobSaveAsClick();
    ADD_FAILURE() << "saved";
  } catch (const FileError& error) {
    EXPECT_EQ(error.what(), "无法写入文件 \"" + dir.Path("FOLDER.BDT") +
                                "\"：这是一个文件夹，不是普通文件\n" + kReceivedJobKeptText);
  }
  EXPECT_EQ(w.job.JobText, Received(CoordinateFrames(2)).JobText);
  EXPECT_TRUE(w.commands.HasUnsavedReceivedLines());
  EXPECT_TRUE(w.commands.Journals().Live());
}

// Raw records followed by other frames: the job keeps both, and saving it as
// a measurement data file, offered first, puts the other lines beside it.
TEST_F(MainJournalCommandsTest, AMixedReceiveIsSavedAsItsRawRecordsAndTheTextBesideThem) {
  test::HeadlessWindow& w = Start();
  std::vector<Frame> frames = {{kRawRecordHeader, test::InstRecord("OTHER-1")}};
  const std::vector<Frame> records = CoordinateFrames(2);
  frames.insert(frames.end(), records.begin(), records.end());
  Receive(frames);
  EXPECT_EQ(w.view.view, test::FakeMainView::View::kMeasurement);
  w.dialogs.NextSaveAnswer(FileChoice{dir.Path("FIELD"), 1});
  w.dialogs.NextMessageAnswer(MessageResult::kOk);
  w.commands.MenuJobSaveClick();
  ASSERT_EQ(w.dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(w.dialogs.saveRequests[0].filter, kFilterSaveMeasurement);
  EXPECT_EQ(w.dialogs.saveRequests[0].filterIndex, 1);
  EXPECT_EQ(ReadFileBytes(dir.Path("FIELD.TSM")), frames[0].body);
  EXPECT_EQ(ReadFileBytes(dir.Path("FIELD.TXT")), JoinLinesCrLf(Received(records).JobText));
  ASSERT_EQ(w.dialogs.messages.size(), 1u);
  EXPECT_EQ(w.dialogs.messages[0].text,
            TextBesideText(dir.Path("FIELD.TSM"), dir.Path("FIELD.TXT"), 2));
  EXPECT_FALSE(w.commands.Journals().Live());
}

TEST_F(MainJournalCommandsTest, NoJournalLeftBehindAsksNothing) {
  for (const bool folderThere : {false, true}) {
    SCOPED_TRACE(folderThere ? "empty folder" : "no folder");
    if (folderThere) fs::create_directories(folder);
    test::HeadlessWindow& w = Start();
    EXPECT_TRUE(w.dialogs.messages.empty());
    EXPECT_EQ(w.view.caption, "Job1--全站仪坐标记录文件");
    EXPECT_FALSE(w.commands.HasUnsavedReceivedLines());
  }
}

TEST_F(MainJournalCommandsTest, YesRestoresTheJobAsTheReceiveLeftIt) {
  struct Case {
    const char* label;
    std::vector<Frame> frames;
    test::FakeMainView::View view;
    const char* caption;
    bool modified;
    bool unsavedLines;
  } cases[] = {
      {"coordinate records", CoordinateFrames(3), test::FakeMainView::View::kCoordinate,
       "Job1--全站仪坐标记录文件", false, true},
      {"measurements", MeasurementFrames(), test::FakeMainView::View::kMeasurement,
       "Job1--全站仪测量数据文件", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = LeaveJournal("receive-20261209-140300", c.frames);
    const fs::file_time_type written = fs::last_write_time(path);
    window = std::make_unique<test::HeadlessWindow>();
    test::HeadlessWindow& w = *window;
    w.commands.Journals().SetFolder(folder);
    w.dialogs.NextMessageAnswer(MessageResult::kYes);
    w.commands.StartUp({});

    ASSERT_EQ(w.dialogs.messages.size(), 1u);
    const std::string& question = w.dialogs.messages[0].text;
    EXPECT_EQ(w.dialogs.messages[0].buttons, MessageButtons::kYesNo);
    EXPECT_NE(question.find("共 " + std::to_string(c.frames.size()) + " 帧"), std::string::npos)
        << question;
    EXPECT_NE(question.find("最后一帧接收于 " + LocalMinute(written)), std::string::npos)
        << question;

    const JobDocument expected = Received(c.frames);
    EXPECT_EQ(w.job.JobText, expected.JobText);
    EXPECT_EQ(w.job.CoordinateMode, expected.CoordinateMode);
    EXPECT_EQ(w.view.view, c.view);
    EXPECT_EQ(w.view.caption, c.caption);
    EXPECT_EQ(w.job.Modified, c.modified);
    EXPECT_EQ(w.commands.HasUnsavedReceivedLines(), c.unsavedLines);
    if (c.view == test::FakeMainView::View::kCoordinate) {
      EXPECT_EQ(w.table.Cell(kColName, 3), "P3");
      EXPECT_EQ(w.view.panels[StatusPanel::kCount], "总数:3");
    } else {
      EXPECT_EQ(w.view.shownText, expected.JobText);
    }
    // Held while restored, and the Exit question guards it.
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(FindLeftJournals(folder).empty());
    w.dialogs.NextMessageAnswer(MessageResult::kCancel);
    EXPECT_FALSE(w.commands.CanClose());
    EXPECT_EQ(w.dialogs.messages.back().text, kSaveQuestion);
    // Saved: gone.
    w.dialogs.NextSaveAnswer(FileChoice{dir.Path("SAVED"), 1});
    w.commands.MenuJobSaveClick();
    EXPECT_FALSE(fs::exists(path));
    window.reset();
    EXPECT_TRUE(FilesInFolder().empty());
  }
}

// A damaged journal gives back the frames before its damage; the file is kept
// whole under another name and those frames go on in a journal of their own.
TEST_F(MainJournalCommandsTest, ADamagedJournalIsRestoredUpToItsDamageAndKeptWhole) {
  std::string bytes(kJournalMagic);
  for (const Frame& frame : CoordinateFrames(3))
    bytes += JournalFrameBytes(frame.header, frame.body);
  const std::size_t damageAt = bytes.size();
  bytes += std::string(300, '\0');  // a power loss
  fs::create_directories(folder);
  const std::string path = dir.Write("state/lumaq/receive-20261209-140300.journal", bytes);
  window = std::make_unique<test::HeadlessWindow>();
  test::HeadlessWindow& w = *window;
  w.commands.Journals().SetFolder(folder);
  w.dialogs.NextMessageAnswer(MessageResult::kYes);
  w.dialogs.NextMessageAnswer(MessageResult::kOk);
  w.commands.StartUp({});
  ASSERT_EQ(w.dialogs.messages.size(), 2u);
  EXPECT_NE(w.dialogs.messages[0].text.find("从第 " + std::to_string(damageAt) + " 字节起已损坏"),
            std::string::npos)
      << w.dialogs.messages[0].text;
  EXPECT_EQ(w.job.JobText, Received(CoordinateFrames(3)).JobText);
  const std::vector<std::string> files = FilesInFolder();
  ASSERT_EQ(files.size(), 2u);
  // Set aside as receive-….journal.DATE-TIME, beside the new journal.
  const bool firstSetAside = files[0].find(".journal.") != std::string::npos;
  const std::string keptAs = folder + "/" + files[firstSetAside ? 0 : 1];
  EXPECT_EQ(ReadFileBytes(keptAs), bytes);
  EXPECT_EQ(w.dialogs.messages[1].text,
            DamagedJournalText(path, JournalDamage{damageAt, 300, ""}, 3, keptAs));
  EXPECT_EQ(ReadJournal(w.commands.Journals().Path()).frames, CoordinateFrames(3));
  EXPECT_TRUE(FindLeftJournals(folder).empty());
}

TEST_F(MainJournalCommandsTest, NoSetsTheJournalAsideAndItIsNotAskedAgain) {
  const std::string path = LeaveJournal("receive-20261209-140300", CoordinateFrames(2));
  window = std::make_unique<test::HeadlessWindow>();
  window->commands.Journals().SetFolder(folder);
  window->dialogs.NextMessageAnswer(MessageResult::kNo);
  window->commands.StartUp({});
  EXPECT_EQ(window->dialogs.messages.size(), 1u);
  EXPECT_TRUE(window->job.JobText.empty());
  EXPECT_FALSE(window->commands.HasUnsavedReceivedLines());
  EXPECT_FALSE(fs::exists(path));
  const std::vector<std::string> files = FilesInFolder();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].rfind("receive-20261209-140300.journal.", 0), 0u) << files[0];
  // Unchanged, under its new name.
  EXPECT_EQ(ReadFramesFile(folder + "/" + files[0]).frames, CoordinateFrames(2));

  test::HeadlessWindow& next = Start();
  EXPECT_TRUE(next.dialogs.messages.empty());
}

TEST_F(MainJournalCommandsTest, SeveralJournalsAreOfferedNewestFirstAndOneIsRestoredAStart) {
  LeaveJournal("receive-a", CoordinateFrames(1), 300s);
  LeaveJournal("receive-b", CoordinateFrames(2), 200s);
  LeaveJournal("receive-c", CoordinateFrames(3), 100s);
  window = std::make_unique<test::HeadlessWindow>();
  test::HeadlessWindow& w = *window;
  w.commands.Journals().SetFolder(folder);
  w.dialogs.NextMessageAnswer(MessageResult::kNo);
  w.dialogs.NextMessageAnswer(MessageResult::kYes);
  w.commands.StartUp({});
  ASSERT_EQ(w.dialogs.messages.size(), 2u) << "none asked after the one restored";
  EXPECT_NE(w.dialogs.messages[0].text.find("共 3 帧"), std::string::npos);
  EXPECT_NE(w.dialogs.messages[1].text.find("共 2 帧"), std::string::npos);
  EXPECT_EQ(w.job.JobText, Received(CoordinateFrames(2)).JobText);

  // The oldest comes at the next start, while the restored one is held by
  // the program still running.
  test::HeadlessWindow second;
  second.commands.Journals().SetFolder(folder);
  second.dialogs.NextMessageAnswer(MessageResult::kNo);
  second.commands.StartUp({});
  ASSERT_EQ(second.dialogs.messages.size(), 1u);
  EXPECT_NE(second.dialogs.messages[0].text.find("共 1 帧"), std::string::npos);
}

TEST_F(MainJournalCommandsTest, AJournalThatCannotBePlayedBackIsReportedAndSetAside) {
  const std::string bad = folder + "/receive-bad.journal";
  fs::create_directories(folder);
  dir.Write("state/lumaq/receive-bad.journal", std::string("\x01garbage", 8));
  LeaveJournal("receive-empty", {});
  test::HeadlessWindow& w = *(window = std::make_unique<test::HeadlessWindow>());
  w.commands.Journals().SetFolder(folder);
  w.dialogs.NextMessageAnswer(MessageResult::kOk);
  w.commands.StartUp({});
  ASSERT_EQ(w.dialogs.messages.size(), 1u) << "no question about an empty journal";
  EXPECT_EQ(w.dialogs.messages[0].caption, kCaptionWarning);
  EXPECT_NE(w.dialogs.messages[0].text.find("receive-bad.journal 无法恢复"), std::string::npos)
      << w.dialogs.messages[0].text;
  const std::vector<std::string> files = FilesInFolder();
  ASSERT_EQ(files.size(), 1u) << "the empty one removed";
  EXPECT_EQ(files[0].rfind("receive-bad.journal.", 0), 0u);
  EXPECT_NE(w.dialogs.messages[0].text.find(files[0]), std::string::npos);
  EXPECT_TRUE(Start().dialogs.messages.empty());
}

TEST_F(MainJournalCommandsTest, TheCommandLineJobAfterARestoreComesAfterTheSaveQuestion) {
  const std::string job = dir.Write("CMD.BDT", "Q1,,1.000,2.000,3.000\r\n");
  struct Case {
    const char* label;
    std::vector<std::string> arguments;
    MessageResult answer;
    const char* jobName;
    bool journalKept;
  } cases[] = {
      {"BDT argument, Cancel keeps the restored", {job}, MessageResult::kCancel, "Job1", true},
      {"BDT argument, No opens it", {job}, MessageResult::kNo, "CMD.BDT", false},
      {"--open, No opens it", {"--open", job}, MessageResult::kNo, "CMD.BDT", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = LeaveJournal("receive-x", CoordinateFrames(2));
    window = std::make_unique<test::HeadlessWindow>();
    test::HeadlessWindow& w = *window;
    w.commands.Journals().SetFolder(folder);
    w.dialogs.NextMessageAnswer(MessageResult::kYes);
    w.dialogs.NextMessageAnswer(c.answer);
    w.commands.StartUp(c.arguments);
    ASSERT_EQ(w.dialogs.messages.size(), 2u);
    EXPECT_EQ(w.dialogs.messages[1].text, kSaveQuestion);
    EXPECT_EQ(w.job.JobName, c.jobName);
    EXPECT_EQ(fs::exists(path), c.journalKept);
    window.reset();
    fs::remove_all(folder);
  }
}

}  // namespace
}  // namespace lumaq
