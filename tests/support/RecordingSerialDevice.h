// A serial line in memory for the port's tests. It records what the port asks
// of it (the paths opened, line settings, queue sizes, bytes written, purges,
// wake-ups) and lets the test feed received bytes and line errors and hang
// the line up. The test may drive it while the port's event thread waits on
// it. The port owns the device: keep a reference before handing it over.
//
// After HangUp, what was fed can still be read; then reads, writes, purges and
// the byte count raise SerialError with HungUp(), as on a line that is gone.
//
// PortOnRecordingDevice is a port on such a line, with its own loop.
#pragma once

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comm/ComPort.h"
#include "comm/Dispatcher.h"
#include "comm/SerialDevice.h"

namespace lumaq {

// Shown by GoogleTest when two line settings differ.
inline void PrintTo(const SerialLineSettings& line, std::ostream* out) {
  *out << "{baud " << line.baudRate << ", data " << line.dataBits << ", parity "
       << static_cast<int>(line.parity) << ", stop " << static_cast<int>(line.stopBits)
       << ", check " << line.parityCheck << ", replace " << line.replaceErrors << " with "
       << int{line.replaceChar} << ", discard null " << line.discardNull << ", cts "
       << line.ctsOutputFlow << ", dsr " << line.dsrOutputFlow << ", dsr sensitive "
       << line.dsrSensitivity << ", dtr " << static_cast<int>(line.dtr) << ", rts "
       << static_cast<int>(line.rts) << ", xon/xoff out " << line.xonXoffOut << " in "
       << line.xonXoffIn << ", continue on xoff " << line.continueOnXoff << ", xon "
       << int{line.xonChar} << ", xoff " << int{line.xoffChar} << ", limits " << line.xonLimit
       << "/" << line.xoffLimit << ", event char " << int{line.eventChar} << "}";
}

namespace test {

class RecordingSerialDevice final : public SerialDevice {
 public:
  struct Purge {
    bool input;
    bool output;
    friend bool operator==(const Purge&, const Purge&) = default;
  };

  // --- The far side ------------------------------------------------------------
  void Feed(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    changed_.notify_all();
  }
  // Line errors (SerialLineError bits) for the next TakeLineErrors.
  void AddLineErrors(unsigned errors) {
    std::lock_guard lock(mutex_);
    lineErrors_ |= errors;
  }
  void HangUp() {
    std::lock_guard lock(mutex_);
    hungUp_ = true;
    changed_.notify_all();
  }
  // Configure raises SerialError with code from now on; 0 lets it succeed.
  void FailConfigureWith(int code) {
    std::lock_guard lock(mutex_);
    failConfigureWith_ = code;
  }

  // --- What the port asked -----------------------------------------------------
  std::vector<std::string> Opened() const { return Locked(opened_); }
  int Closes() const { return Locked(closes_); }
  std::vector<SerialLineSettings> Configured() const { return Locked(configured_); }
  std::vector<std::pair<int, int>> QueueSizes() const { return Locked(queueSizes_); }
  std::string Written() const { return Locked(written_); }
  std::vector<Purge> Purges() const { return Locked(purges_); }
  int Drains() const { return Locked(drains_); }
  // From now on the output never leaves, as on a line held by flow control.
  void NeverDrain() {
    std::lock_guard lock(mutex_);
    neverDrains_ = true;
  }
  int Interrupts() const { return Locked(interrupts_); }
  // Bytes fed and not yet read.
  std::string Unread() const {
    std::lock_guard lock(mutex_);
    return std::string(input_.begin(), input_.end());
  }

  // --- SerialDevice ----------------------------------------------------------------
  void Open(const std::string& path) override {
    std::lock_guard lock(mutex_);
    opened_.push_back(path);
    open_ = true;
    interruptPending_ = false;
  }
  void Close() noexcept override {
    std::lock_guard lock(mutex_);
    if (open_) ++closes_;
    open_ = false;
  }
  bool IsOpen() const noexcept override { return Locked(open_); }

  void Configure(const SerialLineSettings& settings) override {
    std::lock_guard lock(mutex_);
    if (failConfigureWith_ != 0) throw SerialError("configure", failConfigureWith_);
    configured_.push_back(settings);
  }
  void SetQueueSizes(int inputSize, int outputSize) override {
    std::lock_guard lock(mutex_);
    queueSizes_.emplace_back(inputSize, outputSize);
  }

  SerialWaitResult Wait(SerialClock::time_point deadline, unsigned what) override {
    std::unique_lock lock(mutex_);
    SerialWaitResult result = SerialWaitResult::kTimedOut;
    const auto happened = [&] {
      if ((what & kWaitInterrupt) && interruptPending_) {
        interruptPending_ = false;
        result = SerialWaitResult::kInterrupted;
      } else if ((what & kWaitReadable) && !input_.empty()) {
        result = SerialWaitResult::kReadable;
      } else if ((what & (kWaitReadable | kWaitLine)) && hungUp_) {
        result = SerialWaitResult::kHungUp;
      } else {
        return false;
      }
      return true;
    };
    if (deadline == kNoDeadline) {
      changed_.wait(lock, happened);
    } else {
      changed_.wait_until(lock, deadline, happened);
    }
    return result;
  }
  void Interrupt() noexcept override {
    std::lock_guard lock(mutex_);
    ++interrupts_;
    interruptPending_ = true;
    changed_.notify_all();
  }

  std::size_t ReadAvailable(std::span<std::uint8_t> into) override {
    std::lock_guard lock(mutex_);
    if (input_.empty() && hungUp_ && !into.empty()) throw SerialError("read", EIO, true);
    const std::size_t count = std::min(into.size(), input_.size());
    for (std::size_t i = 0; i < count; ++i) {
      into[i] = input_.front();
      input_.pop_front();
    }
    return count;
  }
  std::size_t Write(std::span<const std::uint8_t> bytes, SerialClock::time_point) override {
    std::lock_guard lock(mutex_);
    if (hungUp_) throw SerialError("write", EIO, true);
    written_.append(bytes.begin(), bytes.end());
    return bytes.size();
  }
  void Flush(bool input, bool output) override {
    std::lock_guard lock(mutex_);
    if (hungUp_) throw SerialError("tcflush", EIO, true);
    purges_.push_back({input, output});
    if (input) input_.clear();
  }
  bool Drain(SerialClock::time_point) noexcept override {
    std::lock_guard lock(mutex_);
    ++drains_;
    return !neverDrains_;
  }
  std::size_t BytesWaiting() override {
    std::lock_guard lock(mutex_);
    if (hungUp_) throw SerialError("FIONREAD", EIO, true);
    return input_.size();
  }
  unsigned TakeLineErrors() override {
    std::lock_guard lock(mutex_);
    return std::exchange(lineErrors_, 0u);
  }

 private:
  template <typename T>
  T Locked(const T& member) const {
    std::lock_guard lock(mutex_);
    return member;
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::uint8_t> input_;
  unsigned lineErrors_ = 0;
  bool hungUp_ = false;
  int failConfigureWith_ = 0;
  bool open_ = false;
  bool interruptPending_ = false;
  std::vector<std::string> opened_;
  int closes_ = 0;
  std::vector<SerialLineSettings> configured_;
  std::vector<std::pair<int, int>> queueSizes_;
  std::string written_;
  std::vector<Purge> purges_;
  int drains_ = 0;
  bool neverDrains_ = false;
  int interrupts_ = 0;
};

// The test plays the far side through device, which the port owns.
struct PortOnRecordingDevice {
  LoopDispatcher loop;
  std::unique_ptr<RecordingSerialDevice> owned = std::make_unique<RecordingSerialDevice>();
  RecordingSerialDevice& device = *owned;
  TComPort port{loop, std::move(owned)};
};

}  // namespace test
}  // namespace lumaq
