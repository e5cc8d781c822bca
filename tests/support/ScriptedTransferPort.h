// A transfer line played by the test. Bytes that Arrive are in the port's
// input queue at once; replies to a write are on the wire and land in the
// queue at the program's next Read, so a purge right after the write does not
// drop them (as with an instrument that answers at serial speed). Reads never
// wait: a Read returns what is there, which stands for the time-out of a
// frame cut short.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "comm/TransferPort.h"
#include "support/TransferLog.h"

namespace lumaq::test {

class ScriptedTransferPort : public TransferPort {
 public:
  explicit ScriptedTransferPort(TransferLog& log) : log_(log) {}

  // Bytes the instrument has sent and the port holds now.
  void Arrive(std::string_view bytes) { input_ += bytes; }
  // When the program next writes exactly `after`, the instrument answers
  // bytes (in the order the replies were given).
  void ReplyTo(std::string after, std::string bytes) {
    replies_.emplace_back(std::move(after), std::move(bytes));
  }
  // Open fails with this detail.
  void FailOpen(std::string detail) { openFailure_ = std::move(detail); }
  // From now on every read and write fails, as on a line that went away.
  void GoAway() { gone_ = true; }
  // From now on every write fails, while reads still get the bytes the port
  // holds: a cable pulled after they came.
  void FailWrites() { writesFail_ = true; }
  // Runs at the start of every Read (to look at the session meanwhile).
  std::function<void()> onRead;

  void Open() override {
    log_.push_back("open");
    if (!openFailure_.empty()) throw PortOpenError(openFailure_);
    connected_ = true;
  }
  bool Connected() const override { return connected_; }

  int Read(void* buffer, int count) override {
    if (onRead) onRead();
    if (gone_) {
      log_.push_back("read failed");
      throw std::runtime_error("the line is gone");
    }
    input_ += std::exchange(onTheWire_, "");
    const auto got = std::min(input_.size(), static_cast<std::size_t>(count));
    input_.copy(static_cast<char*>(buffer), got);
    const std::string taken = input_.substr(0, got);
    input_.erase(0, got);
    if (count == 1) {
      log_.push_back(got == 1 ? "read " + HexBytes(taken) : "read nothing");
    } else {
      log_.push_back("read " + std::to_string(count) + " -> " + std::to_string(got));
    }
    return static_cast<int>(got);
  }

  int Write(const void* buffer, int count) override {
    const std::string bytes(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
    if (gone_ || writesFail_) {
      log_.push_back("write failed");
      throw std::runtime_error("the line is gone");
    }
    log_.push_back(count <= 2 ? "write " + HexBytes(bytes)
                              : "write " + std::to_string(count) + " bytes");
    wire += bytes;
    if (!replies_.empty() && replies_.front().first == bytes) {
      onTheWire_ += replies_.front().second;
      replies_.pop_front();
    }
    return count;
  }

  void ClearBuffer(bool input, bool output) override {
    log_.push_back(input && output ? "purge in+out" : input ? "purge in" : "purge out");
    if (input) input_.clear();
  }

  void WriteForAnswer(std::uint8_t byte, int longestAnswer) override {
    Write(&byte, 1);
    log_.push_back("purge in before " + std::to_string(longestAnswer));
    input_.clear();
  }

  int InputCount() override { return static_cast<int>(input_.size()); }

  // Every byte the program wrote, in order.
  std::string wire;

 private:
  TransferLog& log_;
  std::string input_;
  std::string onTheWire_;
  std::deque<std::pair<std::string, std::string>> replies_;
  std::string openFailure_;
  bool connected_ = false;
  bool gone_ = false;
  bool writesFail_ = false;
};

}  // namespace lumaq::test
