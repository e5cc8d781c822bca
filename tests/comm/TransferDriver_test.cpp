// The transfer driver headless: a scripted line, a face that logs what it is
// told, and a clock the test moves.
#include "comm/TransferDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "records/RecordLine.h"
#include "support/InstrumentFrames.h"
#include "support/SampleRecords.h"
#include "support/ScriptedTransferPort.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

const std::string kBody = test::BinaryCoordinateFrame(test::TopoRecords(1)[0]).body;

class LoggingFace final : public TransferFace {
 public:
  LoggingFace(test::TransferLog& log, SerialClock::time_point start) : log_(log), start_(start) {}

  void SetLabel1(const std::string& text) override { log_.push_back("Label1 " + text); }
  void SetLabel3(int count) override { log_.push_back("Label3 " + std::to_string(count)); }
  void ProcessMessages() override {
    log_.push_back("messages");
    if (onMessages) onMessages();
  }
  void Sleep(milliseconds duration) override {
    log_.push_back("sleep " + std::to_string(duration.count()));
  }
  void WakeAt(Deadline deadline) override {
    const auto at = std::chrono::duration_cast<milliseconds>(deadline.When() - start_);
    log_.push_back(deadline.IsNever() ? "no wake" : "wake at " + std::to_string(at.count()));
  }
  void CloseDialog() override { log_.push_back("close dialog"); }
  void ShowPortOpenFailure(const std::string& detail) override { log_.push_back(detail); }
  void ShowUnsendableRecord(const UnsendableRecord&) override { log_.push_back("unsendable"); }
  void ShowSilenceHint(bool shown) override { log_.push_back(shown ? "hint" : "no hint"); }
  void ReportError(std::exception_ptr error) override {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      log_.push_back(std::string("error ") + e.what());
    }
  }

  std::function<void()> onMessages;

 private:
  test::TransferLog& log_;
  SerialClock::time_point start_;
};

// A driver started on a scripted line at time 0, the logs of the start
// cleared; the face's log apart from the line's.
struct DriverRig {
  explicit DriverRig(TransferDirection direction, JobText lines = {},
                     std::optional<milliseconds> hintAfter = {}) {
    job.JobText = std::move(lines);
    driver.emplace(job, port, face, direction, 50ms, units, [this] { return now; });
    if (hintAfter) driver->GiveSilenceHintAfter(*hintAfter);
    driver->Start();
    line.clear();
    shown.clear();
  }
  void At(int ms) { now = SerialClock::time_point(milliseconds(ms)); }
  void Deliver(const std::string& bytes) {
    port.Arrive(bytes);
    driver->RxChar(port.InputCount());
  }
  void Frame(std::uint8_t header) {
    port.ReplyTo("\xBB", test::WithChecksum(kBody));
    Deliver(std::string(1, static_cast<char>(header)));
  }

  TransferSession& session() { return driver->Session(); }

  test::TransferLog line;
  test::ScriptedTransferPort port{line};
  test::TransferLog shown;
  SerialClock::time_point now{};
  LoggingFace face{shown, now};
  JobDocument job;
  RawUnitState units;
  std::optional<TransferDriver> driver;
};

TEST(TransferDriver, TheCounterKeepsItsPaceAndTheLastCountIsShown) {
  DriverRig r(TransferDirection::kReceive);
  r.Frame(0xAA);  // held back: 0 was shown at the start
  r.At(20);
  r.Frame(0xAA);
  r.At(49);
  r.driver->Wake();  // too early: asked again
  r.At(50);
  r.driver->Wake();
  r.At(60);
  r.Frame(0xAA);
  r.At(70);
  r.Deliver("\xEE");
  EXPECT_EQ(r.shown, (test::TransferLog{"messages", "wake at 50", "messages", "wake at 50",
                                        "Label3 2", "no wake", "messages", "wake at 100",
                                        "messages", "Label1 数据转输终止!", "messages", "Label3 3",
                                        "no wake", "close dialog"}));
  r.At(100);
  EXPECT_EQ(r.driver->SinceLastByte(), 30ms);
  // A closed dialog takes no more steps.
  const test::TransferLog before = r.line;
  r.Deliver("\xAA");
  EXPECT_EQ(r.line, before);
}

TEST(TransferDriver, ACancelInsideAStepClosesOnceTheFrameIsAnswered) {
  DriverRig r(TransferDirection::kReceive);
  r.face.onMessages = [&] { r.driver->Cancel(); };
  r.Frame(0xAA);
  r.face.onMessages = nullptr;
  EXPECT_EQ(r.port.wire, "\xBB" + std::string(1, '\0'));
  EXPECT_FALSE(r.driver->Closed());
  EXPECT_EQ(r.shown, (test::TransferLog{"messages", "wake at 50", "wake at 0"}));
  r.shown.clear();
  r.driver->Wake();
  EXPECT_EQ(r.shown, (test::TransferLog{"messages", "Label3 1", "no wake", "close dialog"}));
  EXPECT_EQ(r.driver->Session().Outcome(), TransferOutcome::kCancelled);
}

TEST(TransferDriver, Timer1PollsUntilTheInstrumentFirstAnswers) {
  DriverRig r(TransferDirection::kSend, {ComposeRecordLine("P1", "", "1", "2", "3")});
  const std::string poll = "\xAA";
  struct Step {
    int at;
    std::string wire;
  } steps[] = {{99, ""}, {100, poll}, {199, poll}, {200, poll + poll}};
  for (const Step& step : steps) {
    r.At(step.at);
    r.driver->Wake();
    EXPECT_EQ(r.port.wire, step.wire) << step.at;
  }
  r.At(250);
  r.Deliver("\xBB");
  EXPECT_FALSE(r.driver->Timer1Enabled());
  const std::string wire = r.port.wire;
  EXPECT_EQ(wire.size(), 2 + kBinaryRecordFrameSize);
  r.At(1000);
  r.driver->Wake();
  EXPECT_EQ(r.port.wire, wire);
  EXPECT_EQ(r.shown, (test::TransferLog{"wake at 100", "wake at 200", "wake at 200", "wake at 300",
                                        "no wake", "messages", "no wake"}));
}

// A poll lost on the line would leave both sides waiting for good: after a
// second of silence while a request is awaited the program polls again.
TEST(TransferDriver, ASendPollsAgainAfterASilenceWhileARequestIsAwaited) {
  const JobText records{ComposeRecordLine("P1", "", "1", "2", "3"),
                        ComposeRecordLine("P2", "", "4", "5", "6")};
  DriverRig r(TransferDirection::kSend, records);
  r.At(100);
  r.driver->Wake();  // Timer1's poll
  r.Deliver("\xBB");
  r.At(300);
  r.Deliver(std::string(1, static_cast<char>(FrameChecksum(r.port.wire.substr(1)))));
  ASSERT_EQ(r.session().SendIndex(), 1);
  r.line.clear();
  struct Step {
    int at;
    test::TransferLog line;
  } steps[] = {{1299, {}},
               {1300, {"purge in+out", "write AA"}},
               {2299, {}},
               {2300, {"purge in+out", "write AA"}}};
  for (const Step& step : steps) {
    r.At(step.at);
    r.driver->Wake();
    EXPECT_EQ(r.line, step.line) << step.at;
    r.line.clear();
  }
  // The request answers it: the frame goes out and no poll follows while the
  // echo is awaited.
  r.At(2400);
  r.Deliver("\xBB");
  EXPECT_EQ(r.session().TransferState(), TransferState::AwaitEcho);
  r.line.clear();
  r.At(5000);
  r.driver->Wake();
  EXPECT_EQ(r.line, test::TransferLog{});
  EXPECT_EQ(r.shown.back(), "no wake");
}

// The hint counts the instrument's silence only: Timer1's polls are the
// program's own bytes, and a byte from the instrument takes the hint away.
// Each byte moves the hint later without rearming the face (a window would
// rearm its timer twice a frame); the earlier wake asks for the later one.
TEST(TransferDriver, TheSilenceHintComesAfterTheInstrumentsSilenceAndGoesWithItsNextByte) {
  struct Event {
    int at;
    const char* arrives;  // bytes from the instrument, or none: a wake
    test::TransferLog shown;
  };
  const JobText records{ComposeRecordLine("P1", "", "1", "2", "3")};
  struct Case {
    const char* label;
    TransferDirection direction;
    std::vector<Event> events;
  } cases[] = {
      {"receive",
       TransferDirection::kReceive,
       {{9999, nullptr, {"wake at 10000"}},
        {10000, nullptr, {"hint", "no wake"}},
        {10500, "\x01", {"no hint", "messages", "wake at 20500"}},
        {20500, nullptr, {"hint", "no wake"}},
        {20600,
         "\xEE",
         {"no hint", "messages", "Label1 数据转输终止!", "messages", "close dialog"}},
        {40000, nullptr, {"no wake"}}}},
      {"receive, bytes moving the hint later",
       TransferDirection::kReceive,
       {{100, "\x01", {"messages"}},
        {300, "\x01", {"messages"}},
        {10000, nullptr, {"wake at 10300"}},
        {10300, nullptr, {"hint", "no wake"}}}},
      {"send",
       TransferDirection::kSend,
       {{9900, nullptr, {"wake at 10000"}},
        {10000, nullptr, {"wake at 10000", "hint", "wake at 10100"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    DriverRig r(c.direction, c.direction == TransferDirection::kSend ? records : JobText{},
                10000ms);
    for (const Event& event : c.events) {
      SCOPED_TRACE(event.at);
      r.shown.clear();
      r.At(event.at);
      if (event.arrives) {
        r.Deliver(event.arrives);
      } else {
        r.driver->Wake();
      }
      EXPECT_EQ(r.shown, event.shown);
    }
  }
}

TEST(TransferDriver, ErrorsAreReportedAndAFailingCloseStillEnds) {
  DriverRig r(TransferDirection::kSend, {ComposeRecordLine("P1", "", "1", "2", "3")});
  r.port.GoAway();
  r.At(100);
  r.driver->Wake();  // Timer1's poll fails; the transfer goes on
  EXPECT_TRUE(r.driver->Timer1Enabled());
  r.face.onMessages = [] { throw std::runtime_error("no messages"); };
  r.driver->Cancel();
  r.driver->Wake();
  EXPECT_TRUE(r.driver->Closed());
  EXPECT_EQ(r.shown,
            (test::TransferLog{"wake at 200", "error the line is gone", "wake at 100", "messages",
                               "wake at 200", "error no messages", "no wake", "close dialog"}));

  DriverRig error(TransferDirection::kReceive);
  error.driver->LineError(TComErrors{ceIO});
  EXPECT_TRUE(error.driver->LineErrors().Contains(ceIO));
  EXPECT_EQ(error.shown, (test::TransferLog{"Label1 通讯错误!请重新连接！", "sleep 2000",
                                            "messages", "close dialog"}));
}

}  // namespace
}  // namespace lumaq
