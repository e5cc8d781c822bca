// lumaq-cli receive and send against lumaq-cli instrument, end to end over a
// pseudo-terminal the instrument makes: what the one side sends, the other
// saves, byte for byte, through every misbehaviour the instrument offers.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "comm/AcceptedFrame.h"
#include "comm/FramesFile.h"
#include "rawdata/RawRecord.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ChildProcess.h"
#include "support/InstrumentFrames.h"
#include "support/InstrumentRun.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using test::InstrumentRun;
using test::RawRecordBuilder;

// Record lines as both frame kinds carry them back unchanged: upper case,
// three decimals.
std::string Job(int count) {
  JobText lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(ComposeRecordLine(
        "K" + std::to_string(i), i % 2 ? "TREE" : "", std::to_string(1000 + i) + ".125",
        "-" + std::to_string(i) + ".500", std::to_string(i) + ".000"));
  }
  return JoinLinesCrLf(lines);
}

struct Ends {
  int instrument = -2;
  int program = -2;
  std::string errors;  // both sides' standard error, for a failure message
};

// The job the program makes of frames it accepts, one after another.
JobDocument JobOfFrames(const std::vector<Frame>& frames) {
  JobDocument job;
  RawUnitState units;
  for (const Frame& frame : frames) HandleAcceptedFrame(frame.header, frame.body, job, units);
  return job;
}

class CliTransferInstrument : public ::testing::Test {
 protected:
  // The instrument on its pseudo-terminal with instrumentArguments, and
  // lumaq-cli with programArguments and --device at its far end.
  // Both at baud when one is given.
  Ends Run(std::vector<std::string> instrumentArguments, std::vector<std::string> programArguments,
           const std::string& baud = "") {
    instrumentArguments.insert(instrumentArguments.begin(), "--pty");
    if (!baud.empty()) instrumentArguments.insert(instrumentArguments.begin(), {"--baud", baud});
    InstrumentRun instrument(dir, instrumentArguments);
    programArguments.insert(programArguments.begin() + 1, {"--device", instrument.FarPath()});
    if (!baud.empty()) programArguments.insert(programArguments.begin() + 1, {"--baud", baud});
    test::ChildProcess program(LUMAQ_CLI, programArguments, dir.Path("program-errors.txt"),
                               dir.Folder());
    Ends ends;
    ends.program = program.WaitForExit(60s).value_or(-3);
    ends.instrument = instrument.Finish(10s).value_or(-3);
    ends.errors = "instrument: " + instrument.Errors() + "\nprogram: " + program.Errors();
    return ends;
  }

  test::TempDir dir;
};

TEST_F(CliTransferInstrument, ReceiveSavesWhatTheInstrumentSent) {
  const std::string job = dir.Write("JOB.BDT", Job(5));
  const std::string raw = dir.Write(
      "FIELD.TSM", std::string(RawRecordBuilder(kRawInstrument).Bytes(1, "OTHER-1")) +
                       std::string(RawRecordBuilder(kRawPoint).NameCode("A1", "X").Link(1)) +
                       std::string(RawRecordBuilder(kRawPoint).NameCode("A2").Link(1)));
  struct Case {
    const char* label;
    std::vector<std::string> instrument;
    std::string out;
    std::string expected;
    std::string fault;  // what the instrument says it did wrong
  } cases[] = {
      {"binary coordinate frames", {"send-job", job}, "OUT.BDT", ReadFileBytes(job), ""},
      {"text coordinate frames", {"send-job", job, "--text"}, "OUT.BDT", ReadFileBytes(job), ""},
      {"raw records into a measurement file", {"send-raw", raw}, "OUT.TSM", ReadFileBytes(raw), ""},
      {"a checksum wrong on every second frame",
       {"--verbose", "--bad-checksum", "2", "send-job", job},
       "OUT.BDT",
       ReadFileBytes(job),
       "frame 4 0xAA [wrong checksum]: refused (0xFF)"},
      {"a body cut short on every third frame",
       {"--verbose", "--cut", "3", "send-job", job},
       "OUT.BDT",
       ReadFileBytes(job),
       "frame 3 0xAA [body cut after 16 of 32 bytes]: refused (0xFF)"},
      {"a header with the first body byte on every second frame",
       {"--verbose", "--double", "2", "send-job", job},
       "OUT.BDT",
       ReadFileBytes(job),
       "frame 2 0xAA [header and first body byte at once]: header not answered"},
      {"a pause before every frame",
       {"--pause", "100", "send-job", job},
       "OUT.BDT",
       ReadFileBytes(job),
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const Ends ends = Run(c.instrument, {"receive", c.out});
    EXPECT_EQ(ends.program, 0) << ends.errors;
    EXPECT_EQ(ends.instrument, 0) << ends.errors;
    EXPECT_EQ(ReadFileBytes(dir.Path(c.out)), c.expected);
    EXPECT_NE(ends.errors.find(c.fault), std::string::npos) << ends.errors;
    // However fast the frames came, the counter ends at their number.
    const std::string frames = c.out == "OUT.TSM" ? "3" : "5";
    EXPECT_NE(ends.errors.find("\r已传输记录数 " + frames + "\n数据转输终止!\n"), std::string::npos)
        << ends.errors;
  }
}

TEST_F(CliTransferInstrument, ReceiveOfMeasurementFramesSavesTheirText) {
  const std::vector<Frame> frames = {
      {0xA3, test::TextBody(56, {{1, "S1"}, {9, "STN"}, {17, "100"}, {28, "200"}, {50, "1.55"}})},
      {0xA2, test::TextBody(39, {{1, "P1"}, {9, "TOPO"}, {17, "90.0000"}, {25, "123.4500"}})},
      {0xA1, test::TextBody(47, {{1, "P2"}, {17, "123.456"}, {25, "90.0000"}, {33, "45.3015"}})},
      {0xA0, test::TextBody(56, {{1, "P3"}, {17, "3456.789"}, {28, "-1234.567"}, {39, "12.3"}})},
  };
  WriteFramesFile(dir.Path("MIXED.FRM"), frames);
  const Ends ends = Run({"send-frames", dir.Path("MIXED.FRM")}, {"receive", "OUT.TXT"});
  EXPECT_EQ(ends.program, 0) << ends.errors;
  EXPECT_EQ(ends.instrument, 0) << ends.errors;

  const JobDocument expected = JobOfFrames(frames);
  ASSERT_EQ(expected.JobText.size(), 8u);  // a separator and a line for each frame
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.TXT")), JoinLinesCrLf(expected.JobText));
}

// Raw records are kept whatever follows them: OUT.TSM holds their bytes, the
// TXT beside it every other line received, and standard error says so.
TEST_F(CliTransferInstrument, AMixedReceiveIntoATsmKeepsTheRawRecordsAndTheOtherLinesBeside) {
  const std::string raw1(RawRecordBuilder(kRawInstrument).Bytes(1, "OTHER-1"));
  const std::string raw2(RawRecordBuilder(kRawPoint).NameCode("A1", "X").Link(1));
  const std::vector<Frame> frames = {
      {0xA8, raw1},
      test::BinaryCoordinateFrame(ComposeRecordLine("K1", "TREE", "1.125", "-1.500", "1.000")),
      {0xA2, test::TextBody(39, {{1, "P1"}, {9, "TOPO"}, {17, "90.0000"}, {25, "123.4500"}})},
      {0xA8, raw2},
  };
  WriteFramesFile(dir.Path("MIXED.FRM"), frames);
  const Ends ends = Run({"send-frames", dir.Path("MIXED.FRM")}, {"receive", "OUT.TSM"});
  EXPECT_EQ(ends.program, 0) << ends.errors;
  EXPECT_EQ(ends.instrument, 0) << ends.errors;

  const JobDocument expected = JobOfFrames(frames);
  ASSERT_EQ(expected.LinesBesideRawRecords.size(), 3u);  // a record, a separator, a measurement
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.TSM")), raw1 + raw2);
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.TXT")), JoinLinesCrLf(expected.LinesBesideRawRecords));
  EXPECT_NE(ends.errors.find("lumaq-cli: \"OUT.TSM\" holds the raw records alone; the 3 other "
                             "lines received are saved in \"OUT.TXT\"\n"),
            std::string::npos)
      << ends.errors;
}

TEST_F(CliTransferInstrument, AHangUpLeavesTheRecordsAcceptedBeforeIt) {
  const std::string job = dir.Write("JOB.BDT", Job(5));
  const Ends ends = Run({"--hangup-after", "3", "send-job", job}, {"receive", "OUT.BDT"});
  EXPECT_EQ(ends.program, 1) << ends.errors;
  EXPECT_EQ(ends.instrument, 1) << ends.errors;
  JobText firstThree = SplitTextLines(ReadFileBytes(job));
  firstThree.resize(3);
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.BDT")), JoinLinesCrLf(firstThree));
}

TEST_F(CliTransferInstrument, AHangUpDuringASendLeavesTheInstrumentTheRecordsItAccepted) {
  const std::string job = dir.Write("JOB.BDT", Job(5));
  const Ends ends =
      Run({"--hangup-after", "2", "receive", dir.Path("GOT.BDT")}, {"send", "JOB.BDT"});
  EXPECT_EQ(ends.program, 1) << ends.errors;
  EXPECT_EQ(ends.instrument, 1) << ends.errors;
  EXPECT_NE(ends.errors.find("通讯错误!请重新连接！"), std::string::npos) << ends.errors;
  JobText firstTwo = SplitTextLines(ReadFileBytes(job));
  firstTwo.resize(2);
  EXPECT_EQ(ReadFileBytes(dir.Path("GOT.BDT")), JoinLinesCrLf(firstTwo));
}

TEST_F(CliTransferInstrument, SendDeliversEveryRecord) {
  const std::string job = dir.Write("JOB.BDT", Job(4));
  struct Case {
    const char* label;
    std::vector<std::string> instrument;
    std::string fault;  // what the instrument says it did wrong
  } cases[] = {
      {"binary requests", {"receive", dir.Path("GOT.BDT")}, ""},
      {"text requests", {"receive", dir.Path("GOT.BDT"), "--text"}, ""},
      {"a wrong echo for every second record",
       {"--verbose", "--wrong-echo", "2", "receive", dir.Path("GOT.BDT")},
       "record 4 [wrong echo]: echo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const Ends ends = Run(c.instrument, {"send", job});
    EXPECT_EQ(ends.program, 0) << ends.errors;
    EXPECT_EQ(ends.instrument, 0) << ends.errors;
    EXPECT_EQ(ReadFileBytes(dir.Path("GOT.BDT")), ReadFileBytes(job));
    EXPECT_NE(ends.errors.find(c.fault), std::string::npos) << ends.errors;
  }
}

// How often a text occurs in another.
int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// What instruments in the field do and the simulated one did not: a two-byte
// echo, a poll lost on the line, a stray byte after 0x00, CR LF inside a text
// frame. Each transfer completes with every record, at every rate.
TEST_F(CliTransferInstrument, TransfersCompleteThroughTheMisbehavioursOfTheField) {
  const std::string job = dir.Write("JOB.BDT", Job(5));
  struct Case {
    const char* label;
    std::vector<std::string> instrument;
    std::vector<std::string> program;
    std::string saved;  // where the records arrive
    std::string fault;  // what the instrument says it did wrong
    int refusals;       // 0xFF answers the instrument saw
  } cases[] = {
      {"a two-byte echo: one 0xFF and 0xAA round",
       {"--verbose", "--double-echo", "5", "receive", dir.Path("GOT.BDT")},
       {"send", job},
       "GOT.BDT",
       "record 5 [echo as two bytes at once]: echo",
       1},
      {"a poll lost on the line: polled again",
       {"--verbose", "--drop-poll", "2", "receive", dir.Path("GOT.BDT")},
       {"send", job},
       "GOT.BDT",
       "record 5: poll ignored",
       0},
      {"a stray byte after every 0x00: no header lost",
       {"--verbose", "--stray-after-ok", "1", "send-job", job},
       {"receive", "--no-journal", "OUT.BDT"},
       "OUT.BDT",
       "stray byte 0x55 after the 0x00",
       0},
      {"CR LF in a name: blanks, dropped from the field",
       {"--verbose", "--control-bytes", "2", "send-job", job, "--text"},
       {"receive", "--no-journal", "OUT.BDT"},
       "OUT.BDT",
       "frame 4 0x06 [CR LF in the point name]: accepted",
       0},
  };
  for (const std::string baud : {"1200", "9600", "115200"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.label) + " at " + baud);
      std::filesystem::remove(dir.Path(c.saved));
      const Ends ends = Run(c.instrument, c.program, baud);
      EXPECT_EQ(ends.program, 0) << ends.errors;
      EXPECT_EQ(ends.instrument, 0) << ends.errors;
      EXPECT_EQ(ReadFileBytes(dir.Path(c.saved)), ReadFileBytes(job));
      EXPECT_NE(ends.errors.find(c.fault), std::string::npos) << ends.errors;
      EXPECT_EQ(Occurrences(ends.errors, "refused (0xFF)"), c.refusals) << ends.errors;
      // Once the first frame is through, no header goes unanswered (a loaded
      // machine may make the very first one wait for the program's start).
      std::size_t started = ends.errors.find(": accepted");  // a frame the instrument sent
      if (started == std::string::npos) started = ends.errors.find(": received");
      ASSERT_NE(started, std::string::npos) << ends.errors;
      EXPECT_EQ(Occurrences(ends.errors.substr(started), "not answered"), 0) << ends.errors;
    }
  }
}

// Names the instrument's character code lacks are warned of on standard
// error before the send, which goes on: a binary request gets them as "#",
// a text request as they are.
TEST_F(CliTransferInstrument, SendWarnsOfNamesTheInstrumentMayReceiveAsHashes) {
  const std::string gb = "\xB2\xE2\xB5\xE3";  // 测点 in the code page
  const std::string plain = ComposeRecordLine("P2", "TREE", "1.000", "2.000", "3.000");
  const std::string job =
      dir.Write("JOB.BDT",
                JoinLinesCrLf({ComposeRecordLine(gb + "1", "", "1.000", "2.000", "3.000"), plain}));
  const std::string hashes =
      JoinLinesCrLf({ComposeRecordLine("####1", "", "1.000", "2.000", "3.000"), plain});
  const std::string warning =
      "\nprogram: lumaq-cli: 共 1 条记录的点号或编码含有全站仪不能接收的字符（如汉字）：" + gb +
      "1。全站仪以二进制方式接收时，这些字符将变成“#”。\n";
  const struct {
    const char* label;
    std::vector<std::string> instrument;
    std::string got;
  } cases[] = {
      {"binary requests", {"receive", dir.Path("GOT.BDT")}, hashes},
      {"text requests", {"receive", dir.Path("GOT.BDT"), "--text"}, ReadFileBytes(job)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Ends ends = Run(c.instrument, {"send", job});
    EXPECT_EQ(ends.program, 0) << ends.errors;
    EXPECT_EQ(ends.instrument, 0) << ends.errors;
    EXPECT_EQ(ReadFileBytes(dir.Path("GOT.BDT")), c.got);
    EXPECT_NE(ends.errors.find(warning), std::string::npos) << ends.errors;
  }
}

}  // namespace
}  // namespace lumaq
