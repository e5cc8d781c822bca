// The instrument's end of the line: a serial port, a device path, or a
// pseudo-terminal of its own whose far end the program opens.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>
#include <utility>

#include "Instrument.h"
#include "PortOptions.h"
#include "comm/PseudoTerminalLine.h"

namespace lumaq::cli {
namespace {

using namespace std::chrono_literals;

// How long a pseudo-terminal of our own stays open after the transfer for the
// program to read the last bytes and close its end.
constexpr auto kFarEndFinishLimit = 5s;
// How often a pseudo-terminal nobody has opened is looked at again.
constexpr auto kFarEndLook = 5ms;
// A program that opens its end purges the line's input at once; the
// instrument starts a moment after it saw the line opened, as one started by
// hand would, so that its first header is not purged with the rest.
constexpr auto kFarEndSettle = 20ms;

}  // namespace

std::string LineBytes(std::initializer_list<std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) text.push_back(static_cast<char>(byte));
  return text;
}

void InstrumentLog::Say(const std::string& line) const {
  if (verbose_) std::cerr << line << std::endl;
}

InstrumentLine::InstrumentLine(std::unique_ptr<SerialDevice> device, bool ownPty, int baud)
    : device_(std::move(device)), ownPty_(ownPty), baud_(baud) {}

InstrumentLine InstrumentLine::Open(const InstrumentOptions& options, std::ostream& out) {
  // Without --baud, the rate the program would use.
  const int baud = options.baud ? *options.baud : StoredBaudRate(ProgramFolder());
  if (options.pty) {
    PseudoTerminalLine pair = CreatePseudoTerminalLine();
    out << pair.farPath << '\n' << std::flush;
    return InstrumentLine(std::move(pair.device), true, baud);
  }
  const std::string path =
      options.device.empty() ? StoredDevicePath(options.port, ProgramFolder()) : options.device;
  std::unique_ptr<SerialDevice> device = CreateSerialDevice();
  try {
    device->Open(path);
    SerialLineSettings settings;  // 8 data bits, no parity, one stop bit, no flow control
    settings.baudRate = baud;
    device->Configure(settings);
  } catch (const SerialError& error) {
    throw std::runtime_error("lumaq-cli instrument: cannot use the serial line \"" + path +
                             "\": " + error.what());
  }
  return InstrumentLine(std::move(device), false, baud);
}

void InstrumentLine::AwaitFarEnd(const InstrumentLog& log) {
  if (!ownPty_) return;
  const auto hungUp = [&] {
    return device_->Wait(SerialClock::now(), kWaitLine) == SerialWaitResult::kHungUp;
  };
  if (!hungUp()) return;
  log.Say("waiting for a program to open the line");
  while (hungUp()) std::this_thread::sleep_for(kFarEndLook);
  std::this_thread::sleep_for(kFarEndSettle);
}

void InstrumentLine::Fill(Deadline deadline) {
  std::uint8_t buffer[256];
  while (pending_.empty()) {
    switch (device_->Wait(deadline.When(), kWaitReadable)) {
      case SerialWaitResult::kTimedOut:
        return;
      case SerialWaitResult::kHungUp:
        throw SerialError("read", EIO, true);
      case SerialWaitResult::kInterrupted:
      case SerialWaitResult::kReadable:
        break;
    }
    const std::size_t got = device_->ReadAvailable(buffer);
    pending_.append(reinterpret_cast<const char*>(buffer), got);
  }
}

std::optional<std::uint8_t> InstrumentLine::ReadByte(Deadline deadline) {
  Fill(deadline);
  if (pending_.empty()) return std::nullopt;
  const auto byte = static_cast<std::uint8_t>(pending_.front());
  pending_.erase(0, 1);
  return byte;
}

std::string InstrumentLine::ReadBytes(std::size_t count, Deadline deadline) {
  std::string bytes;
  while (bytes.size() < count) {
    Fill(deadline);
    if (pending_.empty()) break;
    const std::size_t take = std::min(count - bytes.size(), pending_.size());
    bytes.append(pending_, 0, take);
    pending_.erase(0, take);
  }
  return bytes;
}

std::optional<std::uint8_t> InstrumentLine::AwaitOneOf(std::string_view wanted, Deadline deadline) {
  while (const auto byte = ReadByte(deadline)) {
    if (wanted.find(static_cast<char>(*byte)) != std::string_view::npos) return byte;
  }
  return std::nullopt;
}

void InstrumentLine::DiscardInput() {
  pending_.clear();
  device_->Flush(true, false);
}

std::chrono::microseconds InstrumentLine::WireTime(std::size_t count) const {
  return lumaq::WireTime(static_cast<long long>(count), baud_);
}

void InstrumentLine::Write(std::string_view bytes) {
  const Deadline deadline = Deadline::In(WireTime(bytes.size()) + 2s);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  if (device_->Write({data, bytes.size()}, deadline.When()) != bytes.size()) {
    throw SerialError("write", ETIMEDOUT);
  }
}

void InstrumentLine::LetFarEndFinish() {
  if (!ownPty_) return;
  try {
    device_->Wait(Deadline::In(kFarEndFinishLimit).When(), kWaitLine);
  } catch (const SerialError&) {
    // The transfer is over; a line that cannot be watched is closed at once.
  }
}

void InstrumentLine::Close() {
  device_->Close();
}

}  // namespace lumaq::cli
