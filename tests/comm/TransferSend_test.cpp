// The send side of the transfer dialog on a scripted line: the polls, the
// frames, the echoes and the answers, byte by byte.
#include <gtest/gtest.h>

#include <string>

#include "comm/TransferSession.h"
#include "records/RecordLine.h"
#include "support/InstrumentFrames.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"

namespace lumaq {
namespace {

using test::Bytes;
using test::InstrumentCodes;

const std::string kP1 = ComposeRecordLine("p1", "ab", "12.345", "-6.5", "0");
const std::string kP2 = ComposeRecordLine("P2", "", "100", "200", "300");
const std::string kP3 = ComposeRecordLine("P3", "X", "1", "2", "3");

// p1 ab as the binary frame carries it: upper case, packed numbers, byte 31 zero.
const std::string kP1Binary = InstrumentCodes("P1") + InstrumentCodes("AB") +
                              Bytes({0x00, 0x00, 0x01, 0x23, 0x45}) +
                              Bytes({0x00, 0x00, 0x0F, 0x65, 0x00}) + std::string(6, '\0');
// ...and as the text frame carries it: unchanged, padded to 8, 8, 11, 11, 11.
const std::string kP1Text = "p1      ab      12.345     -6.5       0          ";

std::string Sum(const std::string& frame) {
  return std::string(1, static_cast<char>(FrameChecksum(frame)));
}

// A send of the job's lines with the dialog shown and the timer running.
struct Send {
  test::TransferLog log;
  test::ScriptedTransferPort port{log};
  test::RecordingTransferView view{log};
  JobDocument job;
  TransferSession session{job, port, view, TransferDirection::kSend};

  explicit Send(JobText lines) {
    job.JobText = std::move(lines);
    session.FormShow();
    log.clear();
  }
  void Deliver(const std::string& bytes) {
    port.Arrive(bytes);
    session.ComPort1RxChar(port.InputCount());
  }
  // The frame the program wrote last.
  std::string LastFrame(std::size_t size) const {
    return port.wire.substr(port.wire.size() - size);
  }
};

TEST(TransferSend, FormShowStartsPollingForTheFirstRecord) {
  test::TransferLog log;
  test::ScriptedTransferPort port(log);
  test::RecordingTransferView view(log);
  JobDocument job;
  job.JobText = {kP1};
  TransferSession session(job, port, view, TransferDirection::kSend);
  session.FormShow();
  EXPECT_EQ(log, (test::TransferLog{"open", "purge in+out", "timer on"}));
  EXPECT_EQ(session.TransferState(), TransferState::AwaitRequest);
  EXPECT_EQ(session.SendIndex(), 0);
  EXPECT_EQ(session.PollByte(), 0xAA);
  log.clear();
  session.Timer1Timer();
  session.Timer1Timer();
  EXPECT_EQ(log, (test::TransferLog{"purge in+out", "write AA", "purge in+out", "write AA"}));
}

TEST(TransferSend, ThreeRecordsRequestedAsBinaryAndEchoedCorrectly) {
  Send s({kP1, kP2, kP3});
  s.session.Timer1Timer();
  std::string frames[3];
  for (int i = 0; i < 3; ++i) {
    s.Deliver("\xBB");
    frames[i] = s.LastFrame(32);
    s.Deliver(Sum(frames[i]));
  }
  EXPECT_EQ(frames[0], kP1Binary);
  const std::string ok(1, '\0');
  EXPECT_EQ(s.port.wire,
            "\xAA" + frames[0] + ok + "\xAA" + frames[1] + ok + "\xAA" + frames[2] + ok + "\xEE");
  const std::string sum0 = test::Hex(FrameChecksum(frames[0]));
  const std::string sum2 = test::Hex(FrameChecksum(frames[2]));
  const test::TransferLog first(s.log.begin(), s.log.begin() + 12);
  EXPECT_EQ(first, (test::TransferLog{"purge in+out", "write AA", "timer off", "messages",
                                      "read BB", "purge in+out", "write 32 bytes", "read " + sum0,
                                      "purge in+out", "write 00 AA", "Label3 1", "messages"}));
  const test::TransferLog last(s.log.end() - 8, s.log.end());
  EXPECT_EQ(last,
            (test::TransferLog{"read " + sum2, "purge in+out", "write 00 EE", "Label3 3",
                               "Label1 数据传输结束!", "sleep 2000", "messages", "close dialog"}));
  EXPECT_EQ(s.session.Outcome(), TransferOutcome::kSendComplete);
  EXPECT_FALSE(s.view.timer1);
  EXPECT_EQ(s.job.JobText, (JobText{kP1, kP2, kP3}));  // sending leaves the job as it was
}

TEST(TransferSend, ATextRequestGetsTheLineUnchangedPaddedToItsColumns) {
  Send s({kP1});
  s.Deliver("\xB7");
  EXPECT_EQ(s.port.wire, kP1Text);
  EXPECT_EQ(s.log.back(), "write 49 bytes");
  s.Deliver(Sum(kP1Text));
  EXPECT_EQ(s.port.wire, kP1Text + std::string(1, '\0') + "\xEE");
}

TEST(TransferSend, AnswersThatAreNotOneRightByteRepeatTheRecord) {
  struct Case {
    const char* label;
    std::string echo;  // sent in place of the right echo
    test::TransferLog log;
  } cases[] = {
      {"a wrong echo", "\x01", {"read 01", "write FF", "sleep 100", "messages", "write AA"}},
      {"two bytes as the echo", "\x01\x02", {"purge in+out", "write FF", "sleep 100", "write AA"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Send s({kP1, kP2});
    s.Deliver("\xBB");
    const std::string frame = s.LastFrame(32);
    s.log.clear();
    s.Deliver(c.echo);
    EXPECT_EQ(s.log, c.log);
    EXPECT_EQ(s.session.TransferState(), TransferState::AwaitRequest);
    EXPECT_EQ(s.session.SendIndex(), 0);
    EXPECT_EQ(s.view.label3, 0);
    // The next request gets the same record.
    s.Deliver("\xBB");
    EXPECT_EQ(s.LastFrame(32), frame);
  }
}

TEST(TransferSend, RequestsThatAreNotOneRequestByteAskAgain) {
  struct Case {
    const char* label;
    std::string bytes;
    test::TransferLog log;
  } cases[] = {
      {"a byte that is no request",
       "\x55",
       {"timer off", "messages", "read 55", "write AA", "purge in before 1"}},
      {"two bytes at once",
       "\xBB\xBB",
       {"timer off", "purge in+out", "write FF", "sleep 100", "write AA"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Send s({kP1});
    s.Deliver(c.bytes);
    EXPECT_EQ(s.log, c.log);
    EXPECT_EQ(s.session.TransferState(), TransferState::AwaitRequest);
    // The first reaction has stopped the timer for good.
    s.log.clear();
    s.session.Timer1Timer();
    EXPECT_EQ(s.log, test::TransferLog{});
  }
}

TEST(TransferSend, ARecordThatCannotBePackedStopsTheSendBeforeItsFrame) {
  struct Case {
    const char* label;
    std::string n;
  } cases[] = {
      {"N is no number", "abc"},
      {"N is beyond the five packed bytes", "10000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Send s({kP1, ComposeRecordLine("P2", "", c.n, "1", "2"), kP3});
    s.Deliver("\xBB");
    s.Deliver(Sum(s.LastFrame(32)));
    const std::string wireBefore = s.port.wire;
    s.log.clear();
    s.Deliver("\xBB");
    EXPECT_EQ(s.log, (test::TransferLog{"messages", "read BB", "purge in+out",
                                        "unsendable line 2 P2", "messages", "close dialog"}));
    EXPECT_EQ(s.port.wire, wireBefore);  // no frame, no end byte
    EXPECT_EQ(s.view.unsendable.lineNumber, 2);
    EXPECT_NE(s.view.unsendable.reason.find(c.n), std::string::npos);
    EXPECT_EQ(s.session.Outcome(), TransferOutcome::kUnsendableRecord);
    EXPECT_EQ(s.session.TransferCount(), 1);
    EXPECT_TRUE(s.view.closed);
  }
}

TEST(TransferSend, CancelWhileARequestIsHandledStillWritesItsFrame) {
  Send s({kP1, kP2});
  s.view.onNextMessages = [&s] { s.session.Button1Click(); };
  s.Deliver("\xBB");
  EXPECT_EQ(s.port.wire, kP1Binary);
  EXPECT_TRUE(s.session.Close());
  EXPECT_EQ(s.session.Outcome(), TransferOutcome::kCancelled);
  EXPECT_EQ(s.port.wire, kP1Binary);  // no end byte
  EXPECT_TRUE(s.job.CoordinateMode);
}

}  // namespace
}  // namespace lumaq
