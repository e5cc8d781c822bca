// The operating system's side of a serial line, behind one small interface.
// serial_posix*.cpp implement it with termios and poll; the rest of the
// program never makes a system call for the line. All timing is done by the
// caller against monotonic deadlines: a read never blocks, a wait ends at its
// deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "comm/WireTime.h"

namespace lumaq {

// A failed system call of the line; Code() is the system's error number. A
// line that has gone away (cable or adapter pulled, far side of a
// pseudo-terminal closed) is reported with HungUp() true. A device that
// another program holds is refused with EBUSY (or EWOULDBLOCK), and Holder()
// names that program when it is known ("ModemManager（PID 812）").
class SerialError : public std::runtime_error {
 public:
  SerialError(const std::string& operation, int code, bool hungUp = false, std::string holder = {});
  int Code() const { return code_; }
  bool HungUp() const { return hungUp_; }
  const std::string& Holder() const { return holder_; }

 private:
  int code_;
  bool hungUp_;
  std::string holder_;
};

enum class SerialParity { kNone, kOdd, kEven, kMark, kSpace };
enum class SerialStopBits { kOne, kOneAndHalf, kTwo };
enum class SerialDtr { kOff, kOn, kHandshake };
enum class SerialRts { kOff, kOn, kHandshake, kToggle };

// Everything the line is configured with. A combination the system cannot
// carry out makes Configure fail with EINVAL rather than run differently.
// continueOnXoff, xonLimit, xoffLimit and eventChar are taken where the system
// has them; termios has none of them, and the POSIX line runs without.
struct SerialLineSettings {
  int baudRate = 9600;
  int dataBits = 8;
  SerialParity parity = SerialParity::kNone;
  SerialStopBits stopBits = SerialStopBits::kOne;
  bool parityCheck = false;    // bytes with a parity error are detected
  bool replaceErrors = false;  // such a byte reads as replaceChar
  std::uint8_t replaceChar = 0;
  bool discardNull = false;  // received zero bytes are dropped
  bool ctsOutputFlow = false;
  bool dsrOutputFlow = false;
  bool dsrSensitivity = false;
  SerialDtr dtr = SerialDtr::kOff;
  SerialRts rts = SerialRts::kOff;
  bool xonXoffOut = false;
  bool xonXoffIn = false;
  bool continueOnXoff = false;
  std::uint8_t xonChar = 0x11;
  std::uint8_t xoffChar = 0x13;
  int xonLimit = 0;
  int xoffLimit = 0;
  std::uint8_t eventChar = 0;

  friend bool operator==(const SerialLineSettings&, const SerialLineSettings&) = default;
};

// Line errors counted by the driver since the previous query.
enum SerialLineError : unsigned {
  kLineFrame = 1u << 0,
  kLineParity = 1u << 1,
  kLineOverrun = 1u << 2,
  kLineBreak = 1u << 3,
  kLineRxOverflow = 1u << 4,
};

// What Wait watches.
enum SerialWaitFor : unsigned {
  kWaitReadable = 1u << 0,  // bytes to read (implies kWaitLine)
  kWaitLine = 1u << 1,      // the line going away
  kWaitInterrupt = 1u << 2  // Interrupt()
};

enum class SerialWaitResult { kReadable, kHungUp, kInterrupted, kTimedOut };

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  // Opens path for this program alone; the input queue starts empty. Raises
  // SerialError when the device cannot be opened, is no serial line (ENOTTY:
  // a file, /dev/null) or another program holds it (has it open, locks it,
  // or keeps it for itself).
  virtual void Open(const std::string& path) = 0;
  // Releases the device; never fails. Does nothing when closed.
  virtual void Close() noexcept = 0;
  virtual bool IsOpen() const noexcept = 0;
  // While open, what an event loop can watch for arriving bytes and the line
  // going away (a descriptor); -1 when the device offers nothing to watch.
  virtual int WatchHandle() const noexcept { return -1; }

  virtual void Configure(const SerialLineSettings& settings) = 0;
  // The driver's queue sizes, where the system lets them be chosen.
  virtual void SetQueueSizes(int inputSize, int outputSize) = 0;

  // Blocks until one of what is watched happens or the deadline passes. Only
  // the interrupt is safe to use from another thread while a wait runs.
  virtual SerialWaitResult Wait(SerialClock::time_point deadline, unsigned what) = 0;
  // Any thread: the current or next Wait watching kWaitInterrupt returns
  // kInterrupted.
  virtual void Interrupt() noexcept = 0;

  // Reads what is there, at most into.size() bytes, without waiting: 0 when
  // nothing is. Raises SerialError with hungUp when the line is gone.
  virtual std::size_t ReadAvailable(std::span<std::uint8_t> into) = 0;
  // Writes bytes and waits until they have left (or the deadline passed);
  // returns how many the system took.
  virtual std::size_t Write(std::span<const std::uint8_t> bytes,
                            SerialClock::time_point deadline) = 0;
  virtual void Flush(bool input, bool output) = 0;
  // Waits until what was written has left the output queue, or the deadline
  // passed; true when it left (as far as the system tells). Never fails.
  virtual bool Drain(SerialClock::time_point deadline) noexcept = 0;
  virtual std::size_t BytesWaiting() = 0;
  // Line errors since the previous call (SerialLineError bits).
  virtual unsigned TakeLineErrors() = 0;
};

// The backend of this system.
std::unique_ptr<SerialDevice> CreateSerialDevice();

// The login name of the user the program runs as; empty when unknown.
std::string CurrentUserName();

}  // namespace lumaq
