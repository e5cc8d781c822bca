// The receive journal on disk: each frame in the file when FrameAccepted
// returns, a file already there never replaced, a write failure that refuses
// the frame and ends the receive, the lock that keeps two programs apart,
// setting aside, and the journals left in a folder.
#include "comm/ReceiveJournal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "comm/FramesFile.h"
#include "comm/JournalFile.h"
#include "comm/JournalLayout.h"
#include "comm/LeftJournals.h"
#include "comm/TransferSession.h"
#include "records/JobFiles.h"
#include "support/FileSizeLimit.h"
#include "support/InstrumentFrames.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

using test::CountingFrame;

// Keeps every notice the journal gives.
struct Notices {
  std::vector<std::string> details;
  ReceiveJournal::StopNotice Sink() {
    return [this](const std::string& detail) { details.push_back(detail); };
  }
};

TEST(ReceiveJournal, EveryFrameIsInTheFileWhenFrameAcceptedReturns) {
  TempDir dir;
  const std::string path = dir.Path("OUT.BDT.journal");
  Notices notices;
  ReceiveJournal journal(path, notices.Sink());
  std::string expected(kJournalMagic);
  EXPECT_EQ(ReadFileBytes(path), expected);
  int first = 0;
  for (const FrameHeader& entry : kHeaderTable) {
    SCOPED_TRACE(test::Hex(entry.header));
    const Frame frame = CountingFrame(entry.header, first += 7);
    journal.FrameAccepted(frame.header, frame.body);
    expected += FrameBytes(frame) + static_cast<char>(FrameChecksum(frame.body));
    EXPECT_EQ(ReadFileBytes(path), expected);
  }
  EXPECT_EQ(journal.FrameCount(), static_cast<int>(std::size(kHeaderTable)));
  journal.Finish();
  EXPECT_EQ(ReadFileBytes(path), expected);
  EXPECT_FALSE(journal.Stopped());
  EXPECT_EQ(notices.details, std::vector<std::string>{});
}

TEST(ReceiveJournal, ANewJournalNeverReplacesWhatIsThere) {
  TempDir dir;
  const std::string left = dir.Write("LEFT.journal", FrameBytes(CountingFrame(0xAA, 1)));
  const std::string live = dir.Path("LIVE.journal");
  const ReceiveJournal running(live, nullptr);
  fs::create_directory(dir.Path("FOLDER.journal"));
  struct Case {
    const char* label;
    std::string path;
    bool inUse;
  } cases[] = {
      {"a journal left behind", left, false},
      {"the journal of a receive still running", live, true},
      {"a folder", dir.Path("FOLDER.journal"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string before = fs::is_regular_file(c.path) ? ReadFileBytes(c.path) : "";
    try {
      ReceiveJournal second(c.path, nullptr);
      ADD_FAILURE() << "a second journal was made";
    } catch (const JournalExists& there) {
      EXPECT_EQ(there.inUse(), c.inUse);
    }
    if (fs::is_regular_file(c.path)) {
      EXPECT_EQ(ReadFileBytes(c.path), before);
    }
  }
  EXPECT_THROW(ReceiveJournal(dir.Path("no/such/folder.journal"), nullptr), FileError);
}

// Nothing is acknowledged that the journal does not hold: the frame it cannot
// write is answered 0xFF and ends the receive, with the frames before it kept.
TEST(ReceiveJournal, AFrameItCannotWriteIsRefusedAndEndsTheReceive) {
  TempDir dir;
  const std::string path = dir.Path("OUT.BDT.journal");
  const std::string body =
      test::BinaryCoordinateBody("P1", "", test::Bytes({0, 0, 0, 0x10, 0}),
                                 test::Bytes({0, 0, 0, 0x20, 0}), test::Bytes({0, 0, 0, 0, 0}));
  test::TransferLog log;
  test::ScriptedTransferPort port(log);
  test::RecordingTransferView view(log);
  JobDocument job;
  RawUnitState units;
  TransferSession session(job, port, view, TransferDirection::kReceive, units);
  Notices notices;
  ReceiveJournal journal(path, notices.Sink());
  session.SetAcceptedFrameSink(&journal);
  session.FormShow();
  {
    // The magic and three frames of 34 bytes fit; the fourth is cut by the
    // limit.
    const test::FileSizeLimit limit(120);
    for (int frame = 0; frame < 6; ++frame) {
      port.ReplyTo("\xBB", test::WithChecksum(body));
      port.Arrive("\xAA");
      session.ComPort1RxChar(1);
    }
  }
  journal.Finish();
  EXPECT_EQ(port.wire, std::string("\xBB\x00\xBB\x00\xBB\x00\xBB\xFF", 8));
  EXPECT_EQ(session.Outcome(), TransferOutcome::kFrameNotKept);
  EXPECT_EQ(job.JobText.size(), 3u);
  EXPECT_EQ(session.TransferCount(), 3);
  ASSERT_EQ(notices.details.size(), 1u);
  EXPECT_NE(notices.details[0].find(path), std::string::npos) << notices.details[0];
  EXPECT_EQ(session.SinkFailure(), notices.details[0]);
  EXPECT_EQ(journal.StopDetail(), notices.details[0]);
  EXPECT_TRUE(journal.Stopped());
  EXPECT_EQ(journal.FrameCount(), 3);
  EXPECT_THROW(journal.FrameAccepted(0xAA, body), FileError) << "stopped for good";
  // The half frame that did not fit was taken back.
  const std::string frame = JournalFrameBytes(0xAA, body);
  EXPECT_EQ(ReadFileBytes(path), std::string(kJournalMagic) + frame + frame + frame);
}

TEST(ReceiveJournal, FinishKeepsTheFileAndRemoveTakesIt) {
  TempDir dir;
  const Frame frame = CountingFrame(0xA8, 3);
  const std::string kept = dir.Path("KEPT.journal");
  {
    ReceiveJournal journal(kept, nullptr);
    journal.FrameAccepted(frame.header, frame.body);
    journal.Finish();
    journal.FrameAccepted(frame.header, frame.body);  // after the end: not written
    EXPECT_EQ(journal.FrameCount(), 1);
    EXPECT_TRUE(JournalFile::InUse(kept));
  }
  EXPECT_EQ(ReadJournal(kept).frames, std::vector<Frame>{frame});
  EXPECT_FALSE(JournalFile::InUse(kept));

  const std::string saved = dir.Path("SAVED.journal");
  ReceiveJournal journal(saved, nullptr);
  journal.FrameAccepted(frame.header, frame.body);
  journal.Remove();
  EXPECT_FALSE(fs::exists(saved));
}

TEST(JournalFile, AClaimHoldsALeftJournalForOneProgramUntilItIsSetAsideOrRemoved) {
  TempDir dir;
  const std::string path = dir.Path("receive.journal");
  auto running = std::make_unique<ReceiveJournal>(path, nullptr);
  EXPECT_TRUE(JournalFile::InUse(path));
  EXPECT_FALSE(JournalFile::Claim(path));
  running.reset();

  std::optional<JournalFile> claim = JournalFile::Claim(path);
  ASSERT_TRUE(claim);
  EXPECT_TRUE(JournalFile::InUse(path));
  EXPECT_FALSE(JournalFile::Claim(path));
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(30));
  const std::string stamp = JournalFile::DateStamp(JournalFile::LastWriteTime(path));
  const std::string aside = claim->SetAside();
  EXPECT_EQ(aside, path + "." + stamp);
  EXPECT_TRUE(std::regex_match(aside, std::regex(".*/receive\\.journal\\.\\d{8}-\\d{6}")));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(JournalFile::InUse(aside));

  // A second journal of the same name and time goes beside the first.
  ReceiveJournal(path, nullptr);
  fs::last_write_time(path, fs::last_write_time(aside));
  EXPECT_EQ(JournalFile::Claim(path)->SetAside(), aside + "-2");

  ReceiveJournal(path, nullptr);
  JournalFile::Claim(path)->Remove();
  EXPECT_FALSE(fs::exists(path));
  EXPECT_THROW(JournalFile::Claim(path), FileError);
}

TEST(ReceiveJournal, JournalsMadeInAFolderAreNamedAfterTheirStart) {
  TempDir dir;
  const std::string folder = dir.Path("state/lumaq");
  const auto first = ReceiveJournal::CreateIn(folder, nullptr);
  const auto second = ReceiveJournal::CreateIn(folder, nullptr);
  const std::regex name(".*/state/lumaq/receive-\\d{8}-\\d{6}(-2)?\\.journal");
  EXPECT_TRUE(std::regex_match(first->Path(), name)) << first->Path();
  EXPECT_TRUE(std::regex_match(second->Path(), name)) << second->Path();
  EXPECT_NE(first->Path(), second->Path());
  EXPECT_TRUE(fs::exists(first->Path()));
  EXPECT_TRUE(fs::exists(second->Path()));
}

TEST(LeftJournals, AreTheJournalsNoProgramHoldsNewestFirst) {
  TempDir dir;
  const std::string whole = FrameBytes(CountingFrame(0xAA, 1));
  const auto now = fs::file_time_type::clock::now();
  const auto write = [&](const std::string& name, const std::string& bytes, int hoursAgo) {
    const std::string path = dir.Write(name, bytes);
    fs::last_write_time(path, now - std::chrono::hours(hoursAgo));
    return path;
  };
  const std::string older = write("older.journal", whole + whole + whole, 5);
  const std::string newer = write("newer.journal", whole + whole.substr(0, 9), 1);
  const std::string broken = write("broken.journal", "not frames", 3);
  const std::string empty = write("empty.journal", "", 4);
  write("damaged.journal",
        std::string(kJournalMagic) + JournalFrameBytes(0xAA, CountingFrame(0xAA, 1).body) +
            std::string(512, '\0'),
        2);
  write("older.journal.20240101-120000", whole, 0);  // set aside: never offered again
  write("notes.txt", whole, 0);
  const ReceiveJournal running(dir.Path("running.journal"), nullptr);
  fs::create_directory(dir.Path("folder.journal"));

  std::vector<std::string> found;
  for (const LeftJournal& journal : FindLeftJournals(dir.Folder())) {
    found.push_back(
        FileNameOf(journal.path) + " " + std::to_string(journal.frames) +
        (journal.cutFrame ? " cut" : "") + (journal.problem.empty() ? "" : " problem") +
        (journal.damage ? " damaged at " + std::to_string(journal.damage->offset) : ""));
    EXPECT_EQ(journal.lastFrameTime, JournalFile::LastWriteTime(journal.path));
  }
  EXPECT_EQ(found,
            (std::vector<std::string>{"newer.journal 1 cut", "damaged.journal 1 damaged at 42",
                                      "broken.journal 0 problem damaged at 0", "empty.journal 0",
                                      "older.journal 3"}));
  EXPECT_TRUE(FindLeftJournals(dir.Path("missing")).empty());
}

}  // namespace
}  // namespace lumaq
