#include "TransferRun.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <iostream>
#include <optional>
#include <thread>

#include "app/JobCommands.h"
#include "comm/ComTransferPort.h"
#include "comm/TransferDriver.h"
#include "comm/TransferTimings.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"

namespace lumaq::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

// SIGINT (Ctrl-C) and SIGTERM set a flag for the length of a transfer: the
// running step completes, so a frame already accepted is answered.
class InterruptCatcher {
 public:
  InterruptCatcher()
      : previousInt_(std::signal(SIGINT, OnInterrupt)),
        previousTerm_(std::signal(SIGTERM, OnInterrupt)) {
    interrupted = 0;
  }
  ~InterruptCatcher() {
    std::signal(SIGINT, previousInt_ == SIG_ERR ? SIG_DFL : previousInt_);
    std::signal(SIGTERM, previousTerm_ == SIG_ERR ? SIG_DFL : previousTerm_);
  }
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
  void (*previousInt_)(int);
  void (*previousTerm_)(int);
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

// The dialog's face on standard error, with Ctrl-C as its Cancel. The first
// error inside a step ends the transfer.
class CliTransferFace final : public TransferFace {
 public:
  explicit CliTransferFace(TransferResult& result) : result_(result) {}
  void Attach(TransferDriver& driver) { driver_ = &driver; }

  void SetLabel1(const std::string& text) override { label1_ = text; }
  void SetLabel3(int count) override {
    std::cerr << '\r' + std::string(kTransferCountCaption) + ' ' + std::to_string(count)
              << std::flush;
    counterShown_ = true;
  }
  // The only message of a window without a window.
  void ProcessMessages() override {
    if (interrupted && !cancelled_) {
      cancelled_ = true;
      driver_->Cancel();
    }
  }
  void Sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
  void WakeAt(Deadline deadline) override { wake_ = deadline; }
  void CloseDialog() override { closed_ = true; }
  void ShowPortOpenFailure(const std::string& detail) override { result_.portFailure = detail; }
  void ShowUnsendableRecord(const UnsendableRecord& record) override {
    result_.unsendable = record;
  }
  void ReportError(std::exception_ptr error) override {
    if (!failed_) result_.error = Message(error);
    failed_ = true;
    driver_->RequestClose();
  }

  bool Closed() const { return closed_; }
  // The wake the driver asked for has come.
  bool WakeDue() const { return wake_.Passed(); }
  // How long the loop may wait for the port: until the driver is due, and
  // never so long that Ctrl-C goes unseen.
  SerialClock::duration UntilWake() const {
    return std::min<SerialClock::duration>(wake_.Left().value_or(kCliInterruptLook),
                                           kCliInterruptLook);
  }
  const std::string& Label1() const { return label1_; }
  void EndCounterLine() {
    if (counterShown_) std::cerr << '\n';
    counterShown_ = false;
  }

 private:
  TransferResult& result_;
  TransferDriver* driver_ = nullptr;
  std::string label1_;
  bool counterShown_ = false;
  bool cancelled_ = false;
  bool failed_ = false;
  bool closed_ = false;
  Deadline wake_;
};

}  // namespace

TransferResult RunTransfer(JobDocument& job, TransferDirection direction,
                           const PortOptions& options, AcceptedFrameSink* sink) {
  TransferResult result;
  // The port posts nothing: the loop below watches the line itself.
  LoopDispatcher unused;
  TComPort port(unused);
  ConfigurePort(port, options, ProgramFolder());
  // Nothing else to wait for: the loop below waits on the line itself.
  port.SetOwnerWatches(true);
  ComTransferPort line(port);
  CliTransferFace face(result);
  TransferDriver driver(job, line, face, direction, kCliCounterPace);
  face.Attach(driver);
  driver.Attach(port);
  driver.Session().SetAcceptedFrameSink(sink);

  const InterruptCatcher catcher;
  driver.Start();
  while (!face.Closed()) {
    face.ProcessMessages();
    if (face.WakeDue()) driver.Wake();
    if (!face.Closed()) port.WatchLine(SerialClock::now() + face.UntilWake());
  }
  port.Close();
  face.EndCounterLine();
  result.outcome = driver.Session().Outcome();
  result.lineErrors = LineErrorNames(driver.LineErrors());
  result.sinkFailure = driver.Session().SinkFailure();
  result.frames = driver.Session().TransferCount();
  if (result.outcome == TransferOutcome::kEndReceived ||
      result.outcome == TransferOutcome::kSendComplete) {
    std::cerr << face.Label1() << '\n';
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
    case TransferOutcome::kFrameNotKept:
      std::cerr << kFrameNotKeptText << " (" << result.sinkFailure << ")\n";
      return ExitCode::kFailed;
    case TransferOutcome::kRunning:
      break;
  }
  std::cerr << "lumaq-cli: the transfer stopped unfinished\n";
  return ExitCode::kFailed;
}

void SaveReceivedJob(JobDocument& job, const std::string& out) {
  RecordTable table;
  NoProgress progress;
  const JobCommands commands(job, table, progress);
  const JobCommands::SavedReceive saved = commands.WriteReceivedJob(out);
  if (!saved.textBeside.empty()) {
    std::cerr << "lumaq-cli: \"" << out << "\" holds the raw records alone; the "
              << job.LinesBesideRawRecords.size() << " other lines received are saved in \""
              << saved.textBeside << "\"\n";
  }
  if (saved.leftOut > 0) {
    std::cerr << "lumaq-cli: " << saved.leftOut << " of the lines received are no record (no point"
              << " name, N or E) and are left out, as Save leaves such rows out of the table\n";
  }
  const std::size_t records = job.JobText.size() - saved.leftOut;
  if (job.CoordinateMode && records > static_cast<std::size_t>(kMaxRecords)) {
    std::cerr << "lumaq-cli: " << records << " records received and saved; the record table, and"
              << " opening \"" << out << "\", keep the first " << kMaxRecords << '\n';
  }
}

}  // namespace lumaq::cli
