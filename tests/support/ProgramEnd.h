// The program's end of a line whose other end a simulated instrument plays:
// the device opened as the program opens its port (for itself alone, raw,
// 8N1), the bytes sent and awaited by the test.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "comm/SerialDevice.h"

namespace lumaq::test {

class ProgramEnd {
 public:
  // Raises SerialError when the device cannot be opened.
  explicit ProgramEnd(const std::string& path) : device_(CreateSerialDevice()) {
    device_->Open(path);
    device_->Configure(SerialLineSettings{});
  }

  void Send(std::string_view bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    device_->Write({data, bytes.size()}, SerialClock::now() + std::chrono::seconds(5));
  }

  // What the instrument sent, waiting up to timeout for count bytes; less
  // when the time is up or the instrument hung up first.
  std::string Receive(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = SerialClock::now() + timeout;
    std::string bytes;
    try {
      while (bytes.size() < count) {
        const SerialWaitResult result = device_->Wait(deadline, kWaitReadable);
        if (result == SerialWaitResult::kTimedOut) break;
        if (result == SerialWaitResult::kHungUp) {
          hungUp_ = true;
          break;
        }
        std::uint8_t buffer[256];
        const std::size_t room = std::min(sizeof buffer, count - bytes.size());
        const std::size_t got = device_->ReadAvailable({buffer, room});
        bytes.append(reinterpret_cast<const char*>(buffer), got);
      }
    } catch (const SerialError& error) {
      if (!error.HungUp()) throw;
      hungUp_ = true;
    }
    return bytes;
  }

  // The instrument closed the line during a Receive.
  bool HungUp() const { return hungUp_; }

  void Close() { device_->Close(); }

 private:
  std::unique_ptr<SerialDevice> device_;
  bool hungUp_ = false;
};

}  // namespace lumaq::test
