// lumaq-cli instrument sending, on a pseudo-terminal: the test plays the
// program's receive side byte by byte and checks what the instrument puts on
// the line, in order.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "comm/FrameHeaders.h"
#include "comm/FramesFile.h"
#include "rawdata/String_func.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/TextLines.h"
#include "support/InstrumentFrames.h"
#include "support/InstrumentRun.h"
#include "support/PseudoTerminal.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using test::HexBytes;
using test::InstrumentRun;
using test::RawRecordBuilder;
using test::TempDir;

const std::string kFirstRecord = ComposeRecordLine("p1", "ab", "1234.5", "-12.345", "0.0");
const std::string kSecondRecord =
    ComposeRecordLine("K12", "TREE", "-999999.999", "9999999.999", "12.3456");
const std::string kThirdRecord = ComposeRecordLine("C3", "", "1", "2", "3");

struct SentFrame {
  std::string body;
  std::string checksum;  // the byte after the body, as hex
};

// The program's side of one frame: the header awaited, 0xBB answered, the
// body and checksum read; the verdict is the caller's.
SentFrame TakeFrame(InstrumentRun& run, const std::string& header, std::size_t bodySize) {
  EXPECT_EQ(run.Next(1), header);
  run.Send("\xBB");
  const std::string bytes = run.Program().Receive(bodySize + 1, 5s);
  EXPECT_EQ(bytes.size(), bodySize + 1) << HexBytes(bytes);
  if (bytes.empty()) return {};
  return {bytes.substr(0, bytes.size() - 1), HexBytes(bytes.substr(bytes.size() - 1))};
}

// One frame taken and accepted with 0x00; its checksum must be the body's.
std::string AcceptFrame(InstrumentRun& run, const std::string& header, std::size_t bodySize) {
  const SentFrame frame = TakeFrame(run, header, bodySize);
  EXPECT_EQ(frame.checksum, HexBytes(std::string(1, static_cast<char>(FrameChecksum(frame.body)))));
  run.Send(std::string(1, '\0'));
  return frame.body;
}

std::string WithChecksumPlusOne(const std::string& body) {
  return HexBytes(std::string(1, static_cast<char>(FrameChecksum(body) + 1)));
}

class InstrumentSend : public ::testing::Test {
 protected:
  std::string Job(const JobText& records) { return dir.Write("JOB.BDT", JoinLinesCrLf(records)); }
  // The end byte, the program closing its end, and the instrument's status.
  void ExpectEnd(InstrumentRun& run, int exitCode = 0) {
    EXPECT_EQ(run.Next(1), "EE");
    EXPECT_EQ(run.Finish(), exitCode) << run.Errors();
  }

  TempDir dir;
};

TEST_F(InstrumentSend, JobAsBinaryFramesOfTheUpperCasedRecords) {
  InstrumentRun run(dir, {"--pty", "send-job", Job({kFirstRecord, kSecondRecord})});

  const std::string first = AcceptFrame(run, "AA", 32);
  // P1, AB, 1234.5, -12.345, 0 and byte 31 zero.
  EXPECT_EQ(HexBytes(first),
            "1A 01 FF FF FF FF FF FF 0B 0C FF FF FF FF FF FF "
            "00 01 23 45 00 00 00 F1 23 45 00 00 00 00 00 00");
  EXPECT_EQ(DecodeBinaryCoordinateRecord(first),
            ComposeRecordLine("P1", "AB", "1234.500", "-12.345", "0.000"));
  const std::string second = AcceptFrame(run, "AA", 32);
  EXPECT_EQ(DecodeBinaryCoordinateRecord(second),
            ComposeRecordLine("K12", "TREE", "-999999.999", "9999999.999", "12.346"));
  EXPECT_EQ(second[31], '\0');
  ExpectEnd(run);
}

TEST_F(InstrumentSend, JobAsTextFramesThatReadBackUnchanged) {
  InstrumentRun run(dir, {"--pty", "--text", "send-job", Job({kFirstRecord, kThirdRecord})});

  const std::string first = AcceptFrame(run, "06", 53);
  EXPECT_EQ(first, "p1,ab,1234.5,-12.345,0.0" + std::string(29, '\0'));
  EXPECT_EQ(DecodeTextCoordinateRecord(first), kFirstRecord);
  const std::string second = AcceptFrame(run, "06", 53);
  EXPECT_EQ(second, "C3,,1,2,3" + std::string(44, '\0'));
  EXPECT_EQ(DecodeTextCoordinateRecord(second), kThirdRecord);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, RawRecordsAsTheyAreInTheFile) {
  const std::string inst = RawRecordBuilder(0x81).Bytes(1, "MODEL-1").Bytes(11, "1.05");
  const std::string dist = RawRecordBuilder(0x01).NameCode("P12", "TREE").Float(19, 1.5f).Link(7);
  InstrumentRun run(dir, {"--pty", "send-raw", dir.Write("FIELD.TSM", inst + dist)});

  EXPECT_EQ(HexBytes(AcceptFrame(run, "A8", 42)), HexBytes(inst));
  EXPECT_EQ(HexBytes(AcceptFrame(run, "A8", 42)), HexBytes(dist));
  ExpectEnd(run);
}

TEST_F(InstrumentSend, FramesOfAFramesFileInOrder) {
  const std::vector<Frame> frames = {
      {0xAF, std::string(51, '\x12')},
      {0xA2, "P1      TOPO    90.0000 123.4500 1.500 "},
      {0x06, test::TextCoordinateBody("K1,,1,2,3")},
  };
  const std::string file = dir.Path("job.frames");
  WriteFramesFile(file, frames);
  InstrumentRun run(dir, {"--pty", "send-frames", file});

  EXPECT_EQ(AcceptFrame(run, "AF", 51), frames[0].body);
  EXPECT_EQ(AcceptFrame(run, "A2", 39), frames[1].body);
  EXPECT_EQ(AcceptFrame(run, "06", 53), frames[2].body);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, UnansweredHeaderIsSentAgainAndNoBodyBeforeTheAnswer) {
  InstrumentRun run(dir, {"--pty", "--timeout", "200", "send-job", Job({kFirstRecord})});
  EXPECT_EQ(run.Next(1), "AA");
  // Not answered: the next byte is the header again, not the body.
  EXPECT_EQ(run.Next(1), "AA");
  AcceptFrame(run, "AA", 32);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, RefusedOrUnansweredFrameIsSentAgainFromItsHeader) {
  InstrumentRun run(dir, {"--pty", "--timeout", "300", "send-job", Job({kFirstRecord})});
  const SentFrame refused = TakeFrame(run, "AA", 32);
  run.Send("\xFF");
  const SentFrame unanswered = TakeFrame(run, "AA", 32);
  // No verdict: after the time-out the frame starts again with its header.
  const std::string accepted = AcceptFrame(run, "AA", 32);
  EXPECT_EQ(refused.body, accepted);
  EXPECT_EQ(unanswered.body, accepted);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, BadChecksumOnEverySecondFrameOnce) {
  InstrumentRun run(dir, {"--pty", "--bad-checksum", "2", "send-job",
                          Job({kFirstRecord, kSecondRecord, kThirdRecord})});
  AcceptFrame(run, "AA", 32);
  const SentFrame bad = TakeFrame(run, "AA", 32);
  EXPECT_EQ(bad.checksum, WithChecksumPlusOne(bad.body));
  run.Send("\xFF");
  EXPECT_EQ(AcceptFrame(run, "AA", 32), bad.body);
  AcceptFrame(run, "AA", 32);
  ExpectEnd(run);
}

// The misbehaviour goes to the second frame: the first header may come before
// the program's own purge after opening, and be sent again.
TEST_F(InstrumentSend, CutBodyStopsAfterHalfItsBytes) {
  InstrumentRun run(dir, {"--pty", "--timeout", "5000", "--cut", "2", "send-job",
                          Job({kThirdRecord, kFirstRecord})});
  AcceptFrame(run, "AA", 32);
  EXPECT_EQ(run.Next(1), "AA");
  run.Send("\xBB");
  // All the instrument sends before a verdict: nothing more comes.
  const std::string cut = run.Program().Receive(33, 500ms);
  run.Send("\xFF");
  const std::string whole = AcceptFrame(run, "AA", 32);
  EXPECT_EQ(HexBytes(cut), HexBytes(whole.substr(0, 16)));
  ExpectEnd(run);
}

TEST_F(InstrumentSend, DoubledHeaderComesWithTheFirstBodyByte) {
  InstrumentRun run(dir, {"--pty", "--timeout", "200", "--double", "2", "send-job",
                          Job({kThirdRecord, kFirstRecord})});
  AcceptFrame(run, "AA", 32);
  // The program purges the two bytes and answers nothing; the header comes
  // again alone after the time-out.
  EXPECT_EQ(run.Next(2), "AA 1A");
  AcceptFrame(run, "AA", 32);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, PauseIsSilenceBeforeEveryFrame) {
  InstrumentRun run(dir,
                    {"--pty", "--pause", "800", "send-job", Job({kFirstRecord, kThirdRecord})});
  EXPECT_EQ(run.Next(1, 200ms), "");
  AcceptFrame(run, "AA", 32);
  EXPECT_EQ(run.Next(1, 200ms), "");
  AcceptFrame(run, "AA", 32);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, HangupAfterFramesClosesTheLineAndFails) {
  InstrumentRun run(
      dir, {"--pty", "--hangup-after", "1", "send-job", Job({kFirstRecord, kThirdRecord})});
  AcceptFrame(run, "AA", 32);
  EXPECT_EQ(run.Next(1), "");
  EXPECT_TRUE(run.Program().HungUp());
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_NE(run.Errors().find("hung up after frame 1"), std::string::npos) << run.Errors();
}

TEST_F(InstrumentSend, StartedBeforeTheProgramOpensTheFarEnd) {
  InstrumentRun run(dir, {"--pty", "--timeout", "100", "send-job", Job({kFirstRecord})});
  ASSERT_FALSE(run.FarPath().empty());
  // Several of its time-outs pass with nobody on the far end.
  std::this_thread::sleep_for(500ms);
  ASSERT_FALSE(run.Process().WaitForExit(0ms)) << run.Errors();
  AcceptFrame(run, "AA", 32);
  ExpectEnd(run);
}

TEST_F(InstrumentSend, OnADeviceGivenByPath) {
  test::PseudoTerminal line;
  test::ChildProcess instrument(
      LUMAQ_CLI, {"instrument", "--device", line.Path(), "send-job", Job({kThirdRecord})},
      dir.Path("errors.txt"));
  EXPECT_EQ(HexBytes(line.Receive(1, 5s)), "AA");
  line.Send("\xBB");
  const std::string frame = line.Receive(33, 5s);
  ASSERT_EQ(frame.size(), 33u);
  EXPECT_EQ(DecodeBinaryCoordinateRecord(frame),
            ComposeRecordLine("C3", "", "1.000", "2.000", "3.000"));
  line.Send(std::string(1, '\0'));
  EXPECT_EQ(HexBytes(line.Receive(1, 5s)), "EE");
  EXPECT_EQ(instrument.WaitForExit(10s), 0) << instrument.Errors();
}

}  // namespace
}  // namespace lumaq
