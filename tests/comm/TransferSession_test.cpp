// The transfer dialog's life around its steps: Cancel, closing, line errors,
// a line that goes away inside a step, and the accepted-frame hook.
#include "comm/TransferSession.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "records/RecordLine.h"
#include "support/InstrumentFrames.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"
#include "support/TransferRig.h"

namespace lumaq {
namespace {

using test::Bytes;
using test::WithChecksum;

const std::string kBody = test::BinaryCoordinateBody(
    "P1", "", Bytes({0, 0, 0, 0x10, 0}), Bytes({0, 0, 0, 0x20, 0}), Bytes({0, 0, 0, 0, 0}));
const std::string kLine = ComposeRecordLine("P1", "", "1.000", "2.000", "0.000");
const std::string kRawBody = std::string(1, '\x81') + std::string(41, 'x');

using Rig = test::TransferRig;

TEST(TransferSession, CancelDuringAFrameCompletesTheFrameThenCloses) {
  Rig r;
  r.view.onNextMessages = [&r] { r.session.Button1Click(); };
  r.Frame(0xAA, WithChecksum(kBody));
  EXPECT_EQ(r.log,
            (test::TransferLog{"messages", "post close", "read AA", "write BB",
                               "purge in before 33", "read 33 -> 33", "Label3 1", "write 00"}));
  EXPECT_FALSE(r.view.closed);
  // The posted request comes back once the step has returned.
  r.log.clear();
  EXPECT_TRUE(r.session.Close());
  EXPECT_EQ(r.log, (test::TransferLog{"messages", "close dialog"}));
  EXPECT_EQ(r.session.Outcome(), TransferOutcome::kCancelled);
  EXPECT_EQ(r.job.JobText, JobText{kLine});
  EXPECT_EQ(r.port.wire, "\xBB" + std::string(1, '\0'));  // the instrument is not told
}

TEST(TransferSession, ClosingIsRefusedOnlyWhileTheBodyIsRead) {
  Rig r;
  std::vector<bool> allowed;
  r.port.onRead = [&r, &allowed] { allowed.push_back(r.session.FormCloseQuery()); };
  r.Frame(0xAA, WithChecksum(kBody));
  EXPECT_EQ(allowed, (std::vector<bool>{true, false}));  // the header, the body
  EXPECT_TRUE(r.session.FormCloseQuery());
}

TEST(TransferSession, ALineErrorShowsItsMessagePausesAndClosesKeepingTheData) {
  Rig r;
  r.Frame(0xAA, WithChecksum(kBody));
  r.log.clear();
  r.session.ComPort1Error({ceFrame, ceOverrun});
  EXPECT_EQ(r.log, (test::TransferLog{"Label1 通讯错误!请重新连接！", "sleep 2000", "messages",
                                      "close dialog"}));
  EXPECT_EQ(r.session.Outcome(), TransferOutcome::kLineError);
  EXPECT_EQ(r.job.JobText, JobText{kLine});
  EXPECT_TRUE(r.job.CoordinateMode);
}

TEST(TransferSession, ALineThatGoesAwayInsideAStepLeavesTheDialogClosable) {
  struct Case {
    const char* label;
    TransferDirection direction;
    TransferState after;
  } cases[] = {
      {"receive, while the body is read", TransferDirection::kReceive, TransferState::AwaitHeader},
      {"send, while the request is read", TransferDirection::kSend, TransferState::AwaitRequest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig r(c.direction);
    r.job.HasRawRecords = false;
    if (c.direction == TransferDirection::kReceive) {
      r.port.onRead = [&r] {
        if (r.session.CloseAllowed()) return;  // the header read
        r.port.GoAway();
      };
      r.port.Arrive("\xA8");
    } else {
      r.port.GoAway();
      r.port.Arrive("\xBB");
    }
    EXPECT_THROW(r.session.ComPort1RxChar(1), std::runtime_error);
    EXPECT_TRUE(r.session.CloseAllowed());
    EXPECT_EQ(r.session.TransferState(), c.after);
    EXPECT_FALSE(r.job.HasRawRecords);  // no raw record arrived
    // The port's error event follows and closes the dialog.
    r.session.ComPort1Error({ceIO});
    EXPECT_TRUE(r.view.closed);
    EXPECT_EQ(r.session.Outcome(), TransferOutcome::kLineError);
  }
}

TEST(TransferSession, AFrameRefusedAfterItsHeaderLeavesTheFlagsOfTheLastAcceptedFrame) {
  Rig r;
  r.Frame(0xAA, WithChecksum(kBody));
  r.Frame(0xA8, kRawBody + '\0');  // a wrong sum
  EXPECT_TRUE(r.session.CoordinateData());
  EXPECT_FALSE(r.job.HasRawRecords);
  r.Deliver("\xEE");
  EXPECT_TRUE(r.job.CoordinateMode);
  EXPECT_EQ(r.job.RawRecordBuffer, "");
}

TEST(TransferSession, ACablePulledAsAHeaderIsAnsweredLeavesTheFlagsOfTheLastAcceptedFrame) {
  // Raw records came; the next header is read but its 0xBB cannot go out. The
  // job must still save as the raw records it holds, not as their text.
  Rig r;
  r.Frame(0xA8, WithChecksum(kRawBody));
  r.port.FailWrites();
  r.port.Arrive("\xAA");
  EXPECT_THROW(r.session.ComPort1RxChar(1), std::runtime_error);
  EXPECT_EQ(r.log.back(), "write failed");
  EXPECT_FALSE(r.session.CoordinateData());
  EXPECT_TRUE(r.job.HasRawRecords);
  r.session.ComPort1Error({ceIO});
  EXPECT_TRUE(r.view.closed);
  EXPECT_FALSE(r.job.CoordinateMode);
  EXPECT_EQ(r.job.RawRecordBuffer, kRawBody);
  EXPECT_TRUE(r.job.HasRawRecords);
}

// Logs each accepted frame in the transfer's own log; raises when told to.
class LoggingSink : public AcceptedFrameSink {
 public:
  explicit LoggingSink(test::TransferLog& log) : log_(log) {}
  void FrameAccepted(std::uint8_t header, std::string_view body) override {
    log_.push_back("accepted " + test::Hex(header) + " " + std::to_string(body.size()));
    bodies += body;
    if (fail) throw std::runtime_error("disk full");
  }
  std::string bodies;
  bool fail = false;

 private:
  test::TransferLog& log_;
};

TEST(TransferSession, TheSinkHearsOfEachAcceptedFrameBeforeItsAnswer) {
  Rig r;
  LoggingSink sink(r.log);
  r.session.SetAcceptedFrameSink(&sink);
  r.Frame(0xAA, kBody + '\0');  // refused: the sink hears nothing
  r.log.clear();
  r.Frame(0xAA, WithChecksum(kBody));
  EXPECT_EQ(r.log, (test::TransferLog{"messages", "read AA", "write BB", "purge in before 33",
                                      "read 33 -> 33", "accepted AA 32", "Label3 1", "write 00"}));
  EXPECT_EQ(sink.bodies, kBody);
}

// Nothing is acknowledged that is not kept: the frame the sink could not keep
// is answered 0xFF, and the receive ends there.
TEST(TransferSession, AFrameTheSinkCannotKeepIsRefusedAndEndsTheReceive) {
  Rig r;
  LoggingSink sink(r.log);
  r.session.SetAcceptedFrameSink(&sink);
  r.Frame(0xAA, WithChecksum(kBody));
  const RawUnitState unitsBefore = r.units;
  sink.fail = true;
  r.log.clear();
  r.Frame(0xA8, WithChecksum(kRawBody));
  EXPECT_EQ(r.log,
            (test::TransferLog{"messages", "read A8", "write BB", "purge in before 43",
                               "read 43 -> 43", "accepted A8 42",
                               "Label1 数据无法保存，接收已停止！", "post close", "write FF"}));
  EXPECT_EQ(r.port.wire, std::string("\xBB\x00\xBB\xFF", 4));
  EXPECT_EQ(r.session.Outcome(), TransferOutcome::kFrameNotKept);
  EXPECT_EQ(r.session.SinkFailure(), "disk full");
  EXPECT_EQ(r.job.JobText, JobText{kLine});
  EXPECT_EQ(r.job.RawRecordBuffer, "");
  EXPECT_FALSE(r.job.HasRawRecords);
  EXPECT_TRUE(r.session.CoordinateData());
  EXPECT_EQ(r.units.SwapBytes, unitsBefore.SwapBytes);
  EXPECT_EQ(r.session.TransferCount(), 1);
  // The frame sent again finds no step: the dialog closes.
  r.log.clear();
  r.Frame(0xA8, WithChecksum(kRawBody));
  EXPECT_EQ(r.log, test::TransferLog{});
  EXPECT_TRUE(r.session.Close());
  EXPECT_EQ(r.session.Outcome(), TransferOutcome::kFrameNotKept);
}

}  // namespace
}  // namespace lumaq
