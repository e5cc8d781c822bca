// What the two transfer harnesses share: the fuzzer's bytes played as the
// instrument's side of the line, an in-memory port and a dialog face that
// never wait, the loop that hands the session its events, and a transcript of
// every byte the session read and wrote, for the harness to check.
//
// The input is a sequence of items, each starting with a control byte c:
//   c & 0x3F = n > 0: a burst of the n bytes that follow (fewer at the end
//     of the input), sent without a gap, then a silence longer than the
//     read's gap between bytes, so a read that runs past the burst's end
//     returns short;
//     bit 7: the port's event comes after the first byte alone, the rest of
//       the burst lands in the queue just behind it;
//     bit 6: the burst comes late: a read waiting for its first byte times
//       out before it; it reaches the program as the next event.
//   n = 0: by bits 7 and 6: 00 a silence (a waiting read times out, Timer1
//     ticks), 01 a click on Cancel, 10 a line error (the port's OnError),
//     11 the cable pulled: every write fails from then on, and every read
//     that finds no byte left in the port's queue.
// A read that finds the queue empty takes the next burst; the loop hands the
// session the next item once it has handled what is queued. When the input
// ends the instrument falls silent for good, and the user clicks Cancel.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "comm/ComSettings.h"
#include "comm/TransferPort.h"
#include "comm/TransferSession.h"
#include "comm/TransferView.h"

namespace lumaq::fuzz {

struct LineItem {
  enum class Kind { kBurst, kSilence, kCancel, kLineError, kCablePulled };
  Kind kind = Kind::kSilence;
  std::string_view bytes;  // kBurst
  bool firstByteAlone = false;
  bool late = false;
};

// The input as the instrument's items, in turn.
class InstrumentScript {
 public:
  explicit InstrumentScript(std::string_view input) : input_(input) {}

  std::optional<LineItem> Peek() const {
    if (input_.empty()) return std::nullopt;
    const auto control = static_cast<std::uint8_t>(input_.front());
    const std::size_t n = control & 0x3Fu;
    LineItem item;
    if (n > 0) {
      item.kind = LineItem::Kind::kBurst;
      item.bytes = input_.substr(1, n);
      item.firstByteAlone = (control & 0x80u) != 0;
      item.late = (control & 0x40u) != 0;
      // A burst cut to nothing by the end of the input is a silence.
      if (item.bytes.empty()) item.kind = LineItem::Kind::kSilence;
      return item;
    }
    static constexpr LineItem::Kind kSpecial[] = {LineItem::Kind::kSilence, LineItem::Kind::kCancel,
                                                  LineItem::Kind::kLineError,
                                                  LineItem::Kind::kCablePulled};
    item.kind = kSpecial[control >> 6];
    return item;
  }
  void Pop() {
    const auto control = static_cast<std::uint8_t>(input_.front());
    input_.remove_prefix(std::min(input_.size(), std::size_t{1} + (control & 0x3Fu)));
  }

 private:
  std::string_view input_;
};

// One read or write of the session, as the line saw it.
struct LineEvent {
  bool write = false;
  std::string bytes;    // read: what the read returned; write: what was to go out
  int wanted = 0;       // read: the count asked for
  bool failed = false;  // the line was gone: the call raised
};

class FuzzTransferPort final : public TransferPort {
 public:
  explicit FuzzTransferPort(InstrumentScript& script) : script_(script) {}

  void Open() override { connected_ = true; }
  bool Connected() const override { return connected_; }

  int Read(void* buffer, int count) override {
    FUZZ_CHECK(count > 0);
    if (queue_.empty() && !gone_) TakeBurstWhileReading();
    // Bytes the port held before the cable was pulled can still be read.
    if (gone_ && queue_.empty()) {
      transcript.push_back({false, "", count, true});
      throw std::runtime_error("the line is gone");
    }
    const std::size_t got = std::min(queue_.size(), static_cast<std::size_t>(count));
    queue_.copy(static_cast<char*>(buffer), got);
    transcript.push_back({false, queue_.substr(0, got), count, false});
    queue_.erase(0, got);
    return static_cast<int>(got);
  }

  int Write(const void* buffer, int count) override {
    FUZZ_CHECK(count > 0);
    transcript.push_back(
        {true, std::string(static_cast<const char*>(buffer), static_cast<std::size_t>(count)), 0,
         gone_});
    if (gone_) throw std::runtime_error("the line is gone");
    return count;
  }

  void ClearBuffer(bool input, bool) override {
    if (input) queue_.clear();
  }
  // The answer to the write is still on its way when the purge comes.
  void WriteForAnswer(std::uint8_t byte, int) override {
    Write(&byte, 1);
    queue_.clear();
  }
  int InputCount() override { return static_cast<int>(queue_.size()); }

  void Arrive(std::string_view bytes) { queue_ += bytes; }
  void PullCable() { gone_ = true; }
  bool Gone() const { return gone_; }
  // A click on Cancel that came while a read waited, for the next messages.
  bool TakeCancelClick() { return std::exchange(cancelClicked_, false); }

  std::vector<LineEvent> transcript;

 private:
  // A read waits for its first byte: the next burst comes unless it is late;
  // a click on Cancel meanwhile waits for the next messages; a line error
  // reaches the program only after the step.
  void TakeBurstWhileReading() {
    while (const auto item = script_.Peek()) {
      switch (item->kind) {
        case LineItem::Kind::kBurst:
          if (item->late) return;
          queue_ += item->bytes;
          script_.Pop();
          return;
        case LineItem::Kind::kSilence:
          script_.Pop();
          return;
        case LineItem::Kind::kCancel:
          cancelClicked_ = true;
          script_.Pop();
          break;
        case LineItem::Kind::kLineError:
          return;
        case LineItem::Kind::kCablePulled:
          gone_ = true;
          script_.Pop();
          return;
      }
    }
  }

  InstrumentScript& script_;
  std::string queue_;
  bool connected_ = false;
  bool gone_ = false;
  bool cancelClicked_ = false;
};

class FuzzTransferView final : public TransferView {
 public:
  explicit FuzzTransferView(FuzzTransferPort& port) : port_(port) {}
  void Attach(TransferSession& session) { session_ = &session; }

  void SetLabel1(const std::string& text) override { label1 = text; }
  void SetLabel3(int count) override {
    // The counter only ever goes up by one.
    FUZZ_CHECK(count == label3 + 1);
    label3 = count;
  }
  void ProcessMessages() override {
    if (port_.TakeCancelClick()) session_->Button1Click();
  }
  void Sleep(std::chrono::milliseconds) override {}
  void SetTimer1Enabled(bool enabled) override { timer1 = enabled; }
  void PostCloseRequest() override { closeRequested = true; }
  void CloseDialog() override {
    FUZZ_CHECK(!closed);
    closed = true;
  }
  void ShowPortOpenFailure(const std::string&) override { FUZZ_CHECK(false); }
  void ShowUnsendableRecord(const UnsendableRecord& record) override { unsendable = record; }

  std::string label1;
  int label3 = 0;
  bool timer1 = false;
  bool closeRequested = false;
  bool closed = false;
  std::optional<UnsendableRecord> unsendable;

 private:
  FuzzTransferPort& port_;
  TransferSession* session_ = nullptr;
};

// Runs the transfer as the dialog's loop would, until the dialog closes or
// the instrument has nothing more to say (then Cancel closes it). Checks that
// it ends: every turn of the loop takes an item or a queued byte; between
// steps the session is never Busy and closing is always allowed; a step
// raises only when the cable was pulled.
inline void RunTransfer(TransferSession& session, FuzzTransferPort& port, FuzzTransferView& view,
                        InstrumentScript& script, std::size_t inputSize) {
  std::size_t turns = 2 * inputSize + 16;
  const auto guarded = [&](auto step) {
    try {
      step();
    } catch (const std::exception&) {
      FUZZ_CHECK(port.Gone());
      // As the fronts do: an error inside a step ends the transfer.
      view.closeRequested = true;
    }
  };
  const auto close = [&] {
    view.closeRequested = false;
    FUZZ_CHECK(session.Close());
    FUZZ_CHECK(view.closed);
  };
  session.FormShow();
  FUZZ_CHECK(session.CloseAllowed());
  while (!view.closed) {
    FUZZ_CHECK(turns-- > 0);  // the session keeps the loop busy without taking the line
    FUZZ_CHECK(session.TransferState() != TransferState::Busy);
    if (port.TakeCancelClick()) session.Button1Click();
    if (view.closeRequested) {
      close();
      break;
    }
    if (port.InputCount() > 0) {
      guarded([&] { session.ComPort1RxChar(port.InputCount()); });
      continue;
    }
    const auto item = script.Peek();
    if (!item) break;
    script.Pop();
    if (view.timer1) guarded([&] { session.Timer1Timer(); });
    if (view.closeRequested) continue;
    switch (item->kind) {
      case LineItem::Kind::kBurst: {
        port.Arrive(item->bytes);
        const int count = item->firstByteAlone ? 1 : port.InputCount();
        guarded([&] { session.ComPort1RxChar(count); });
        break;
      }
      case LineItem::Kind::kSilence:
        break;
      case LineItem::Kind::kCancel:
        session.Button1Click();
        break;
      case LineItem::Kind::kLineError:
        session.ComPort1Error(TComErrors{ceFrame});
        FUZZ_CHECK(view.closed);
        break;
      case LineItem::Kind::kCablePulled:
        port.PullCable();
        break;
    }
  }
  if (!view.closed) {
    // The instrument is silent from now on: the user gives up.
    session.Button1Click();
    FUZZ_CHECK(view.closeRequested);
    close();
  }
  // Only an error inside a step, which the front reports, ends it unnamed.
  FUZZ_CHECK(session.Outcome() != TransferOutcome::kRunning || port.Gone());
}

}  // namespace lumaq::fuzz
