// lumaq-cli receive killed for real beside the simulated instrument, then
// lumaq-cli recover: every frame the instrument saw answered 0x00 comes back
// byte for byte. Also the journal while a receive runs, a journal left behind
// when a receive starts, recover's answers to odd journals, and a journal
// that cannot be written.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "comm/FramesFile.h"
#include "comm/JournalLayout.h"
#include "comm/ReceiveJournal.h"
#include "rawdata/RawRecord.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/AwaitText.h"
#include "support/ChildProcess.h"
#include "support/FileSizeLimit.h"
#include "support/InstrumentFrames.h"
#include "support/InstrumentRun.h"
#include "support/RawRecordBuilder.h"
#include "support/SampleRecords.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

// The instrument sends a frame again when no verdict came this soon. Long
// enough that a busy machine never makes it send an accepted frame twice
// (the protocol has no way to tell a repeated frame from a new one), short
// enough that a frame whose body was lost comes again quickly.
const std::string kTimeout = "2000";

// lumaq-cli run in dir, standard error kept in dir/name-errors.txt.
test::ChildProcess StartCli(const TempDir& dir, const std::string& name,
                            const std::vector<std::string>& arguments) {
  return test::ChildProcess(LUMAQ_CLI, arguments, dir.Path(name + "-errors.txt"), dir.Folder());
}

std::string ErrorsOf(const TempDir& dir, const std::string& name) {
  return ReadFileBytes(dir.Path(name + "-errors.txt"));
}

using test::AwaitText;

std::string Lines(const JobText& lines, std::size_t count) {
  return JoinLinesCrLf(JobText(lines.begin(), lines.begin() + static_cast<long>(count)));
}

std::string RawRecords(int count) {
  std::string bytes = test::InstRecord("OTHER-1");
  for (int i = 1; i < count; ++i) {
    bytes += test::DistRecord("A" + std::to_string(i), "X", 1.5f, 10.0f + static_cast<float>(i),
                              900000, 453000, 1, false);
  }
  return bytes;
}

std::vector<Frame> MeasurementFrames() {
  const auto text = [](std::uint8_t header, const std::string& name) {
    return test::TextFrame(header, {{1, name}, {17, "100.000"}});
  };
  return {text(0xA3, "ST1"), text(0xA2, "P1"), text(0xA1, "P2"),   text(0xA0, "P3"),
          text(0xA1, "P4"),  text(0xA2, "P5"), text(0xAF, "\x01"), text(0xA0, "P6"),
          text(0xA3, "ST2"), text(0xA1, "P7")};
}

// The receive into out beside the instrument playing action; the instrument
// hangs up after its frame n was answered 0x00, and the receive is killed
// before it could save. Returns whether the kill came in time.
bool ReceiveAndKill(const TempDir& dir, std::vector<std::string> action, int n,
                    const std::string& out) {
  std::vector<std::string> arguments{"--pty",  "--verbose",      "--timeout",
                                     kTimeout, "--hangup-after", std::to_string(n)};
  arguments.insert(arguments.end(), action.begin(), action.end());
  test::InstrumentRun instrument(dir, arguments);
  test::ChildProcess receive =
      StartCli(dir, "receive", {"receive", "--device", instrument.FarPath(), out});
  // The line error that follows the hang-up holds the receive for 2 s
  // before it saves; the kill comes long before.
  const bool hungUp =
      AwaitText(dir.Path("instrument-errors.txt"), "hung up after frame " + std::to_string(n), 30s);
  receive.Signal(SIGKILL);
  EXPECT_EQ(receive.WaitForExit(10s), -1);
  EXPECT_TRUE(hungUp) << instrument.Errors();
  return hungUp && !fs::exists(dir.Path(out));
}

TEST(JournalCli, AKilledReceiveIsRecoveredByteForByte) {
  const JobText records = test::TopoRecords(20);
  const std::string raw = RawRecords(30);
  const std::vector<Frame> measurements = MeasurementFrames();
  struct Case {
    const char* label;
    std::vector<std::string> action;  // the instrument's, its input written as IN
    std::string input;
    int frames;  // answered 0x00 before the kill
    std::string out;
    std::string expected;  // empty: what an uninterrupted receive of the frames saves
  } cases[] = {
      {"binary coordinate records",
       {"send-job", "IN.BDT"},
       JoinLinesCrLf(records),
       12,
       "OUT.BDT",
       Lines(records, 12)},
      {"text coordinate records",
       {"send-job", "IN.BDT", "--text"},
       JoinLinesCrLf(records),
       7,
       "OUT.BDT",
       Lines(records, 7)},
      {"raw records", {"send-raw", "IN.TSM"}, raw, 17, "OUT.TSM", raw.substr(0, 17 * 42)},
      {"measurement frames", {"send-frames", "IN.FRM"}, "", 6, "OUT.TXT", ""},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    if (c.input.empty()) {
      // The oracle: the first frames received whole by a receive left alone.
      TempDir whole;
      WriteFramesFile(whole.Path("IN.FRM"),
                      std::vector<Frame>(measurements.begin(), measurements.begin() + c.frames));
      test::InstrumentRun instrument(
          whole, {"--pty", "--timeout", kTimeout, "send-frames", whole.Path("IN.FRM")});
      test::ChildProcess receive =
          StartCli(whole, "receive", {"receive", "--device", instrument.FarPath(), c.out});
      ASSERT_EQ(receive.WaitForExit(30s), 0) << ErrorsOf(whole, "receive");
      c.expected = ReadFileBytes(whole.Path(c.out));
      ASSERT_NE(c.expected, "");
      WriteFramesFile(dir.Path("IN.FRM"), measurements);
    } else {
      dir.Write(c.action[1], c.input);
    }
    c.action[1] = dir.Path(c.action[1]);

    ASSERT_TRUE(ReceiveAndKill(dir, c.action, c.frames, c.out));
    const std::string journal = dir.Path(c.out + ".journal");
    EXPECT_EQ(ReadJournal(journal).frames.size(), static_cast<std::size_t>(c.frames));
    test::ChildProcess recover = StartCli(dir, "recover", {"recover", journal, "BACK" + c.out});
    EXPECT_EQ(recover.WaitForExit(20s), 0) << ErrorsOf(dir, "recover");
    EXPECT_EQ(ReadFileBytes(dir.Path("BACK" + c.out)), c.expected);
    EXPECT_EQ(ErrorsOf(dir, "recover"), "");
    EXPECT_TRUE(fs::exists(journal));  // recover leaves it
  }
}

TEST(JournalCli, TheJournalHoldsTheFramesWhileTheReceiveRunsAndGoesOnceOutIsSaved) {
  const JobText records = test::TopoRecords(5);
  struct Case {
    const char* label;
    std::vector<std::string> options;
    bool journal;
  } cases[] = {
      {"with its journal", {}, true},
      {"with --no-journal", {"--no-journal"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    dir.Write("IN.BDT", JoinLinesCrLf(records));
    test::InstrumentRun instrument(dir, {"--pty", "--verbose", "--timeout", kTimeout,
                                         "--hangup-after", "3", "send-job", dir.Path("IN.BDT")});
    std::vector<std::string> arguments{"receive", "--device", instrument.FarPath()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back("OUT.BDT");
    test::ChildProcess receive = StartCli(dir, "receive", arguments);
    ASSERT_TRUE(AwaitText(dir.Path("instrument-errors.txt"), "hung up after frame 3", 30s));
    const std::string journal = dir.Path("OUT.BDT.journal");
    EXPECT_EQ(fs::exists(journal), c.journal);
    if (c.journal) {
      EXPECT_EQ(ReadJournal(journal).frames.size(), 3u);
    }
    EXPECT_EQ(receive.WaitForExit(20s), 1);  // the line went away
    EXPECT_EQ(ReadFileBytes(dir.Path("OUT.BDT")), Lines(records, 3));
    EXPECT_FALSE(fs::exists(journal));
  }
}

TEST(JournalCli, AReceiveThatCannotSaveKeepsItsJournal) {
  TempDir dir;
  const JobText records = test::TopoRecords(100);
  dir.Write("IN.BDT", JoinLinesCrLf(records));
  // The journal (8 first bytes, 34 a frame) and standard error fit under the
  // limit of the receive's files; OUT.BDT (56 bytes a record) does not.
  test::InstrumentRun instrument(dir,
                                 {"--pty", "--timeout", kTimeout, "send-job", dir.Path("IN.BDT")});
  const std::string far = instrument.FarPath();
  std::optional<test::ChildProcess> receive;
  {
    const test::FileSizeLimit limit(8 + 100 * 34);
    receive.emplace(LUMAQ_CLI, std::vector<std::string>{"receive", "--device", far, "OUT.BDT"},
                    dir.Path("receive-errors.txt"), dir.Folder());
  }
  EXPECT_EQ(receive->WaitForExit(30s), 1);
  const std::string errors = ErrorsOf(dir, "receive");
  const std::string last = errors.substr(errors.rfind("数据转输终止!\n") + 20);
  EXPECT_EQ(last,
            "无法写入文件 \"OUT.BDT\"：文件超过了允许的大小; the 100 frames received are kept in "
            "\"OUT.BDT.journal\" (lumaq-cli recover OUT.BDT.journal FILE)\n")
      << errors;
  test::ChildProcess recover =
      StartCli(dir, "recover", {"recover", "OUT.BDT.journal", "SAVED.BDT"});
  EXPECT_EQ(recover.WaitForExit(20s), 0) << ErrorsOf(dir, "recover");
  EXPECT_EQ(ReadFileBytes(dir.Path("SAVED.BDT")), JoinLinesCrLf(records));
}

// On a full disk every record the instrument saw acknowledged is somewhere
// the user is told of: the journal, or without one a file in the user's
// state folder.
TEST(JournalCli, OnAFullDiskEveryAcknowledgedRecordIsInTheJournalOrTheNamedFallback) {
  TempDir dir;
  const JobText records = test::TopoRecords(400);
  dir.Write("IN.BDT", JoinLinesCrLf(records));
  for (const bool journal : {true, false}) {
    SCOPED_TRACE(journal ? "with a journal" : "--no-journal");
    test::SmallDisk disk(64);
    if (!disk.Available()) GTEST_SKIP() << disk.Reason();
    // The disk is full but for 8 KB: room for the journal of about 240 frames
    // and for no copy of the 400 records (22 KB).
    disk.FillBut(8192);
    const std::string out = disk.Path("OUT.BDT");
    test::InstrumentRun instrument(
        dir, {"--pty", "--verbose", "--timeout", kTimeout, "send-job", dir.Path("IN.BDT")});
    std::vector<std::string> arguments{"receive", "--device", instrument.FarPath(), out};
    if (!journal) arguments.push_back("--no-journal");
    test::ChildProcess receive = StartCli(dir, "receive", arguments);
    EXPECT_EQ(receive.WaitForExit(60s), 1);
    instrument.Finish(30s);
    const std::string errors = ErrorsOf(dir, "receive");
    EXPECT_FALSE(fs::exists(out));
    std::string kept;
    if (journal) {
      EXPECT_NE(errors.find("kept in \"" + out + ".journal\""), std::string::npos) << errors;
      test::ChildProcess recover =
          StartCli(dir, "recover", {"recover", out + ".journal", dir.Path("SAVED.BDT")});
      EXPECT_EQ(recover.WaitForExit(20s), 0) << ErrorsOf(dir, "recover");
      kept = ReadFileBytes(dir.Path("SAVED.BDT"));
    } else {
      const std::string said = "are saved in \"";
      const auto at = errors.find(said);
      ASSERT_NE(at, std::string::npos) << errors;
      const std::string fallback =
          errors.substr(at + said.size(), errors.find('"', at + said.size()) - at - said.size());
      kept = ReadFileBytes(fallback);
      fs::remove(fallback);
    }
    // What the instrument saw acknowledged (0x00): its frames are sent in
    // order, and one acknowledged is never sent again.
    const std::string log = instrument.Errors();
    std::size_t acknowledged = 0;
    for (auto at = log.find(": accepted\n"); at != std::string::npos;
         at = log.find(": accepted\n", at + 1)) {
      ++acknowledged;
    }
    EXPECT_EQ(journal, acknowledged < records.size()) << log;
    EXPECT_EQ(kept, Lines(records, acknowledged));
  }
}

TEST(JournalCli, AReceiveNeverStartsOverAJournalThatIsThere) {
  TempDir dir;
  const std::string frames = FrameBytes({0xA8, RawRecords(1)});
  const std::string left = dir.Write("LEFT.TSM.journal", frames);
  const ReceiveJournal running(dir.Path("BUSY.TSM.journal"), nullptr);
  struct Case {
    const char* label;
    std::string out;
    int exitCode;
    std::string errors;
  } cases[] = {
      {"left behind by a receive that never saved", "LEFT.TSM", 2,
       "接收日志 \"LEFT.TSM.journal\" 已存在（上次接收留下）: it holds the frames of a receive "
       "that was never saved; save them with \"lumaq-cli recover LEFT.TSM.journal FILE\", or "
       "remove it, then receive again\n"},
      {"written by a receive still running", "BUSY.TSM", 2,
       "接收日志 \"BUSY.TSM.journal\" 正由另一个运行中的程序写入: another receive into the same "
       "file is running\n"},
      {"none: the port cannot be opened and the empty journal goes", "NEW.TSM", 1,
       "无法打开串口！程序无法正常运行！\n\"/nonexistent/"
       "tty\"：串口设备不存在（ENOENT）。请检查数据线"
       "是否连接，或在通讯设置中选择其他串口\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::ChildProcess receive =
        StartCli(dir, "receive", {"receive", "--device", "/nonexistent/tty", c.out});
    EXPECT_EQ(receive.WaitForExit(20s), c.exitCode);
    EXPECT_EQ(ErrorsOf(dir, "receive"), c.errors);
    EXPECT_FALSE(fs::exists(dir.Path(c.out)));
  }
  EXPECT_EQ(ReadFileBytes(left), frames);
  EXPECT_EQ(ReadFileBytes(dir.Path("BUSY.TSM.journal")), kJournalMagic);
  EXPECT_FALSE(fs::exists(dir.Path("NEW.TSM.journal")));
}

TEST(JournalCli, RecoverSavesTheFramesBeforeAnyDamageAndRefusesWhatIsNoJournal) {
  TempDir dir;
  const JobText records = test::TopoRecords(3);
  std::string frames;
  std::string journal(kJournalMagic);  // the same frames as a receive writes them now
  for (int i = 1; i <= 3; ++i) {
    const std::string n = std::to_string(i);
    const std::string body =
        test::TextCoordinateBody("P" + n + ",TOPO," + n + ".125,-" + n + ".500,0.000");
    frames += FrameBytes({0x06, body});
    journal += JournalFrameBytes(0x06, body);
  }
  // Frames of 55 bytes after the 8 first: the third starts at byte 118.
  dir.Write("POWERLOSS.journal", journal + std::string(100, '\0'));
  std::string flipped = journal;
  flipped[118 + 20] ^= 0x10;
  dir.Write("FLIPPED.journal", flipped);
  dir.Write("CUT.journal", frames + frames.substr(0, 20));
  dir.Write("WHOLE.journal", frames);
  dir.Write("EMPTY.journal", "");
  dir.Write("JOB.journal", JoinLinesCrLf(records));
  const ReceiveJournal running(dir.Path("RUNNING.journal"), nullptr);
  struct Case {
    const char* label;
    std::vector<std::string> arguments;
    int exitCode;
    std::optional<std::string> out;  // OUT.BDT afterwards, nothing when absent
    std::string errors;
  } cases[] = {
      {"a whole journal", {"WHOLE.journal", "OUT.BDT"}, 0, Lines(records, 3), ""},
      {"a last frame cut short",
       {"CUT.journal", "OUT.BDT"},
       0,
       Lines(records, 3),
       "lumaq-cli: the last frame of \"CUT.journal\" (0x06) is cut short after 19 of 53 body "
       "bytes and is left out; 3 frames recovered\n"},
      {"a journal without frames", {"EMPTY.journal", "OUT.BDT"}, 0, "", ""},
      {"a zero-filled tail after a power loss",
       {"POWERLOSS.journal", "OUT.BDT"},
       1,
       Lines(records, 3),
       "lumaq-cli: \"POWERLOSS.journal\" is damaged from byte 173 on (byte 0x00 at offset 173 "
       "is no frame header): 100 bytes set aside, left in the journal; the 3 frames before the "
       "damage are saved in \"OUT.BDT\"\n"},
      {"a byte flipped inside a body",
       {"FLIPPED.journal", "OUT.BDT"},
       1,
       Lines(records, 2),
       "lumaq-cli: \"FLIPPED.journal\" is damaged from byte 118 on (the frame 0x06 at offset 118 "
       "does not match its checksum): 55 bytes set aside, left in the journal; the 2 frames "
       "before the damage are saved in \"OUT.BDT\"\n"},
      {"a file of no frames",
       {"JOB.journal", "OUT.BDT"},
       2,
       std::nullopt,
       "\"JOB.journal\": not a frames file: byte 0x50 at offset 0 is no frame header\n"},
      {"no file",
       {"MISSING.journal", "OUT.BDT"},
       1,
       std::nullopt,
       "无法打开文件 \"MISSING.journal\"：文件或文件夹不存在\n"},
      {"a receive still writing it",
       {"RUNNING.journal", "OUT.BDT"},
       1,
       std::nullopt,
       "lumaq-cli: \"RUNNING.journal\" is being written by a receive that is still running\n"},
      {"the journal as OUT",
       {"WHOLE.journal", "WHOLE.journal"},
       2,
       std::nullopt,
       "lumaq-cli: OUT is the journal itself\nusage: lumaq-cli recover JOURNAL OUT\n"},
      {"a third argument",
       {"WHOLE.journal", "OUT.BDT", "X"},
       2,
       std::nullopt,
       "lumaq-cli: usage: lumaq-cli recover JOURNAL OUT\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove(dir.Path("OUT.BDT"));
    std::vector<std::string> arguments{"recover"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    test::ChildProcess recover = StartCli(dir, "recover", arguments);
    EXPECT_EQ(recover.WaitForExit(20s), c.exitCode);
    EXPECT_EQ(ErrorsOf(dir, "recover"), c.errors);
    if (c.out) {
      EXPECT_EQ(ReadFileBytes(dir.Path("OUT.BDT")), *c.out);
    } else {
      EXPECT_FALSE(fs::exists(dir.Path("OUT.BDT")));
    }
  }
  EXPECT_EQ(ReadFileBytes(dir.Path("WHOLE.journal")), frames);
  EXPECT_EQ(ReadFileBytes(dir.Path("FLIPPED.journal")), flipped);
}

// Nothing is acknowledged that is not kept: the frame the journal cannot
// write is answered 0xFF, and the receive ends there, saving the frames it
// acknowledged and saying why it stopped.
TEST(JournalCli, AFrameTheJournalCannotWriteEndsTheReceiveUnacknowledged) {
  TempDir dir;
  // 100 raw records. Under a limit of 4200 bytes the journal (its 8 first
  // bytes, then 44 bytes a frame) takes 95 frames; OUT.TSM takes them all.
  const std::string raw = RawRecords(100);
  dir.Write("IN.TSM", raw);
  test::InstrumentRun instrument(
      dir, {"--pty", "--verbose", "--timeout", kTimeout, "send-raw", dir.Path("IN.TSM")});
  const std::string far = instrument.FarPath();
  std::optional<test::ChildProcess> receive;
  {
    const test::FileSizeLimit limit(raw.size());
    receive.emplace(LUMAQ_CLI, std::vector<std::string>{"receive", "--device", far, "OUT.TSM"},
                    dir.Path("receive-errors.txt"), dir.Folder());
  }
  EXPECT_EQ(receive->WaitForExit(30s), 1) << ErrorsOf(dir, "receive");
  EXPECT_EQ(instrument.Finish(30s), 1);
  EXPECT_NE(instrument.Errors().find("frame 95 0xA8: accepted\n"), std::string::npos)
      << instrument.Errors();
  EXPECT_EQ(instrument.Errors().find("frame 96 0xA8: accepted"), std::string::npos)
      << instrument.Errors();
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.TSM")), raw.substr(0, 95 * 42));
  EXPECT_FALSE(fs::exists(dir.Path("OUT.TSM.journal")));
  const std::string errors = ErrorsOf(dir, "receive");
  const std::string end = "\r已传输记录数 95\nlumaq-cli: " + std::string(kJournalStoppedText) +
                          " (无法写入文件 \"OUT.TSM.journal\"：文件超过了允许的大小)\n"
                          "lumaq-cli: the 95 frames accepted before it are saved in "
                          "\"OUT.TSM\"\n";
  EXPECT_EQ(errors.substr(errors.size() - std::min(errors.size(), end.size())), end) << errors;
}

}  // namespace
}  // namespace lumaq
