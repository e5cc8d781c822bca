// lumaq-cli instrument receiving, on a pseudo-terminal: the test plays the
// program's send side byte by byte, checks the instrument's answers in order
// and the record file it saves.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "comm/FrameHeaders.h"
#include "comm/RecordFrames.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/TextLines.h"
#include "support/InstrumentRun.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using test::HexBytes;
using test::InstrumentRun;
using test::TempDir;

std::string Hex(std::uint8_t byte) {
  return HexBytes(std::string(1, static_cast<char>(byte)));
}

class InstrumentReceive : public ::testing::Test {
 protected:
  // One record offered by the program: poll, the instrument's request, the
  // frame; returns the echo, to which the caller answers.
  std::string Offer(InstrumentRun& run, const std::string& request, const std::string& frame) {
    run.Send("\xAA");
    EXPECT_EQ(run.Next(1), request);
    run.Send(frame);
    return run.Next(1);
  }
  // The same, with the echo checked and accepted by 0x00.
  void Deliver(InstrumentRun& run, const std::string& request, const std::string& frame) {
    EXPECT_EQ(Offer(run, request, frame), Hex(FrameChecksum(frame)));
    run.Send(std::string(1, '\0'));
  }
  std::string Saved() { return ReadFileBytes(out); }

  TempDir dir;
  std::string out = dir.Path("OUT.BDT");
};

// Offered in the frames the program's send builds (comm/RecordFrames.h).
const std::string kFirst = ComposeRecordLine("p1", "ab", "1234.5", "-12.345", "0.0");
const std::string kSecond =
    ComposeRecordLine("K12", "TREE", "-999999.999", "9999999.999", "12.346");
const std::string kThird = ComposeRecordLine("C3", "", "1", "2", "3");

TEST_F(InstrumentReceive, BinaryFramesSavedAsRecordLines) {
  InstrumentRun run(dir, {"--pty", "receive", out});
  Deliver(run, "BB", BinaryRecordFrame(ComposeRecordLine("P1", "AB", "1234.5", "-12.345", "0.0")));
  Deliver(run, "BB", BinaryRecordFrame(kSecond));
  Deliver(run, "BB", BinaryRecordFrame(kThird));
  run.Send("\xEE");
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(Saved(), JoinLinesCrLf({
                         ComposeRecordLine("P1", "AB", "1234.500", "-12.345", "0.000"),
                         ComposeRecordLine("K12", "TREE", "-999999.999", "9999999.999", "12.346"),
                         ComposeRecordLine("C3", "", "1.000", "2.000", "3.000"),
                     }));
}

TEST_F(InstrumentReceive, TextFramesSavedUnchanged) {
  InstrumentRun run(dir, {"--pty", "--text", "receive", out});
  for (const std::string& record : {kFirst, kSecond, kThird}) {
    Deliver(run, "B7", TextRecordFrame(record));
  }
  run.Send("\xEE");
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(Saved(), JoinLinesCrLf({kFirst, kSecond, kThird}));
}

TEST_F(InstrumentReceive, PollsPiledUpAreAnsweredWithOneRequest) {
  InstrumentRun run(dir, {"--pty", "receive", out});
  // The program polls every 100 ms until the first answer. The polls go in
  // one write: a poll sent after the instrument has answered would be taken
  // as the first byte of the frame.
  run.Send("\xAA\xAA\xAA");
  EXPECT_EQ(run.Next(1), "BB");
  const std::string frame = BinaryRecordFrame(kThird);
  run.Send(frame);
  EXPECT_EQ(run.Next(1), Hex(FrameChecksum(frame))) << "one request, then the echo";
  run.Send(std::string(1, '\0'));
  run.Send("\xEE");
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(Saved(), JoinLinesCrLf({ComposeRecordLine("C3", "", "1.000", "2.000", "3.000")}));
}

TEST_F(InstrumentReceive, WrongEchoOnEverySecondRecordOnce) {
  InstrumentRun run(dir, {"--pty", "--wrong-echo", "2", "receive", out});
  Deliver(run, "BB", BinaryRecordFrame(kThird));
  const std::string second = BinaryRecordFrame(kSecond);
  EXPECT_EQ(Offer(run, "BB", second), Hex(static_cast<std::uint8_t>(FrameChecksum(second) + 1)));
  // The program refuses, polls again and sends the same record.
  run.Send("\xFF");
  Deliver(run, "BB", second);
  Deliver(run, "BB", BinaryRecordFrame(kThird));
  run.Send("\xEE");
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  const std::string third = ComposeRecordLine("C3", "", "1.000", "2.000", "3.000");
  EXPECT_EQ(Saved(), JoinLinesCrLf({third, kSecond, third}));
}

TEST_F(InstrumentReceive, HangupAfterRecordsSavesThemAndFails) {
  InstrumentRun run(dir, {"--pty", "--hangup-after", "2", "receive", out});
  Deliver(run, "BB", BinaryRecordFrame(kSecond));
  Deliver(run, "BB", BinaryRecordFrame(kSecond));
  EXPECT_EQ(run.Next(1), "");
  EXPECT_TRUE(run.Program().HungUp());
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_NE(run.Errors().find("hung up after record 2"), std::string::npos) << run.Errors();
  EXPECT_EQ(Saved(), JoinLinesCrLf({kSecond, kSecond}));
}

TEST_F(InstrumentReceive, ProgramLeavingEarlyKeepsWhatCameAndFails) {
  InstrumentRun run(dir, {"--pty", "--text", "receive", out});
  Deliver(run, "B7", TextRecordFrame(kFirst));
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_NE(run.Errors().find("the line was closed"), std::string::npos) << run.Errors();
  EXPECT_EQ(Saved(), JoinLinesCrLf({kFirst}));
}

TEST_F(InstrumentReceive, EndByteBeforeAnyRecordIsNoEnd) {
  // 0xEE ends a transfer only after an accepted record; before, it is a stray
  // byte and the instrument keeps waiting for a poll.
  InstrumentRun run(dir, {"--pty", "receive", out});
  run.Send("\xEE");
  Deliver(run, "BB", BinaryRecordFrame(kThird));
  run.Send("\xEE");
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(Saved(), JoinLinesCrLf({ComposeRecordLine("C3", "", "1.000", "2.000", "3.000")}));
}

}  // namespace
}  // namespace lumaq
