#include "TransferRun.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <exception>
#include <iostream>
#include <optional>
#include <thread>
#include <utility>

#include "comm/ComTransferPort.h"
#include "comm/ReceivedJobFile.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"

namespace lumaq::cli {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kTimer1Interval = 100ms;
constexpr auto kCounterPace = 25ms;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

// SIGINT sets a flag for the length of a transfer.
class InterruptCatcher {
 public:
  InterruptCatcher() : previous_(std::signal(SIGINT, OnInterrupt)) { interrupted = 0; }
  ~InterruptCatcher() { std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_); }
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
  void (*previous_)(int);
};

std::string LineErrorNames(TComErrors errors) {
  static constexpr const char* kNames[] = {"ceFrame", "ceRxParity", "ceOverrun", "ceBreak",
                                           "ceIO",    "ceMode",     "ceRxOver",  "ceTxFull"};
  std::string names;
  for (int i = ceFrame; i <= ceTxFull; ++i) {
    if (!errors.Contains(static_cast<TComError>(i))) continue;
    if (!names.empty()) names += ", ";
    names += kNames[i];
  }
  return names;
}

std::string Message(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const EComPort& port) {
    return std::string(kLineErrorText) + " (" + port.what() + ")";
  } catch (const std::exception& other) {
    return other.what();
  } catch (...) {
    return "unknown error";
  }
}

// The dialog's face on standard error.
class CliTransferView final : public TransferView {
 public:
  explicit CliTransferView(TransferResult& result) : result_(result) {}
  void Attach(TransferSession& session) { session_ = &session; }

  void SetLabel1(const std::string& text) override { label1_ = text; }
  // The counter at a steady pace: thousands of frames a second would
  // otherwise cost a write each.
  void SetLabel3(int count) override {
    count_ = count;
    if (counterShown_ && Clock::now() - counterTime_ < kCounterPace) {
      counterBehind_ = true;
      return;
    }
    ShowCounter();
  }
  // The last count, once the pace allows, when no further one came.
  void CatchUpCounter() {
    if (counterBehind_ && Clock::now() - counterTime_ >= kCounterPace) ShowCounter();
  }
  // The only message of a window without a window: Ctrl-C as Cancel.
  void ProcessMessages() override {
    if (interrupted && !cancelled_) {
      cancelled_ = true;
      session_->Button1Click();
    }
  }
  void Sleep(std::chrono::milliseconds duration) override {
    if (counterBehind_) ShowCounter();
    std::this_thread::sleep_for(duration);
  }
  void SetTimer1Enabled(bool enabled) override {
    timer1_ = enabled;
    nextTick_ = Clock::now() + kTimer1Interval;
  }
  void PostCloseRequest() override { closeRequested_ = true; }
  void CloseDialog() override { closed_ = true; }
  void ShowPortOpenFailure(const std::string& detail) override { result_.portFailure = detail; }
  void ShowUnsendableRecord(const UnsendableRecord& record) override {
    result_.unsendable = record;
  }

  bool Closed() const { return closed_; }
  bool TakeCloseRequest() { return std::exchange(closeRequested_, false); }
  // Time until Timer1 is due; zero when it is.
  std::optional<Clock::duration> UntilTimer1() const {
    if (!timer1_) return std::nullopt;
    return std::max(Clock::duration::zero(), nextTick_ - Clock::now());
  }
  void Timer1Ran() { nextTick_ = Clock::now() + kTimer1Interval; }
  const std::string& Label1() const { return label1_; }
  void EndCounterLine() {
    if (counterBehind_) ShowCounter();
    if (counterShown_) std::cerr << '\n';
    counterShown_ = false;
  }

 private:
  void ShowCounter() {
    std::cerr << '\r' + std::string(kTransferCountCaption) + ' ' + std::to_string(count_)
              << std::flush;
    counterShown_ = true;
    counterBehind_ = false;
    counterTime_ = Clock::now();
  }

  TransferResult& result_;
  TransferSession* session_ = nullptr;
  std::string label1_;
  bool counterShown_ = false;
  bool counterBehind_ = false;  // a count not shown yet
  int count_ = 0;
  Clock::time_point counterTime_;
  bool cancelled_ = false;
  bool closeRequested_ = false;
  bool closed_ = false;
  bool timer1_ = false;
  Clock::time_point nextTick_;
};

}  // namespace

TransferResult RunTransfer(JobDocument& job, TransferDirection direction,
                           const PortOptions& options, AcceptedFrameSink* sink) {
  TransferResult result;
  LoopDispatcher loop;
  TComPort port(loop);
  ConfigurePort(port, options, ProgramFolder());
  ComTransferPort line(port);
  CliTransferView view(result);
  TransferSession session(job, line, view, direction);
  view.Attach(session);
  session.SetAcceptedFrameSink(sink);

  // The first error inside a step ends the transfer.
  bool failed = false;
  const auto fail = [&](std::exception_ptr error) {
    if (!failed) result.error = Message(error);
    failed = true;
  };
  port.OnRxChar = [&session](TCustomComPort&, int count) { session.ComPort1RxChar(count); };
  port.OnError = [&session, &result](TCustomComPort&, TComErrors errors) {
    result.lineErrors = LineErrorNames(errors);
    session.ComPort1Error(errors);
  };
  port.OnException = [&fail](TCustomComPort&, std::exception_ptr error) { fail(error); };

  const InterruptCatcher catcher;
  session.FormShow();
  if (session.Outcome() != TransferOutcome::kPortNotOpened) view.SetLabel3(0);
  while (!view.Closed()) {
    try {
      view.ProcessMessages();
      if (view.TakeCloseRequest() || failed) {
        // Closing is refused only inside a step, which this is not.
        if (!session.Close()) break;
        continue;
      }
      const auto untilTimer = view.UntilTimer1();
      if (untilTimer && *untilTimer == Clock::duration::zero()) {
        view.Timer1Ran();
        session.Timer1Timer();
        continue;
      }
      loop.RunOne(untilTimer ? std::min<Clock::duration>(*untilTimer, kCounterPace)
                             : Clock::duration(kCounterPace));
      view.CatchUpCounter();
    } catch (...) {
      const bool closing = failed;
      fail(std::current_exception());
      if (closing) break;  // closing itself failed: leave it to the port's Close
    }
  }
  port.Close();
  port.OnRxChar = nullptr;
  port.OnError = nullptr;
  port.OnException = nullptr;
  view.EndCounterLine();
  result.outcome = session.Outcome();
  if (result.outcome == TransferOutcome::kEndReceived ||
      result.outcome == TransferOutcome::kSendComplete) {
    std::cerr << view.Label1() << '\n';
  }
  return result;
}

ExitCode ReportTransfer(const TransferResult& result) {
  if (!result.error.empty() && result.outcome != TransferOutcome::kLineError) {
    std::cerr << result.error << '\n';
    return ExitCode::kFailed;
  }
  switch (result.outcome) {
    case TransferOutcome::kEndReceived:
    case TransferOutcome::kSendComplete:
      return ExitCode::kDone;
    case TransferOutcome::kPortNotOpened:
      std::cerr << kPortOpenFailedText << '\n' << result.portFailure << '\n';
      return ExitCode::kFailed;
    case TransferOutcome::kLineError:
      std::cerr << kLineErrorText << " (" << result.lineErrors << ")\n";
      return ExitCode::kFailed;
    case TransferOutcome::kUnsendableRecord:
      std::cerr << UnsendableRecordText(*result.unsendable, result.unsendable->pointName) << '\n';
      return ExitCode::kRejected;
    case TransferOutcome::kCancelled:
      return ExitCode::kInterrupted;
    case TransferOutcome::kRunning:
      break;
  }
  std::cerr << "lumaq-cli: the transfer stopped unfinished\n";
  return ExitCode::kFailed;
}

void SaveReceivedJob(const JobDocument& job, const std::string& out) {
  WriteFileAtomically(out, ReceivedJobBytes(job, out));
  if (ExceedsRecordTable(job)) {
    std::cerr << "lumaq-cli: " << job.JobText.size() << " records received and saved; the record"
              << " table, and opening \"" << out << "\", keep the first " << kMaxRecords << '\n';
  }
}

}  // namespace lumaq::cli
