// The serial line on POSIX. The line is in raw mode with VMIN = VTIME = 0
// (serial_posix_termios.cpp), so that no read ever blocks and every time-out
// is the caller's, kept against one monotonic deadline with poll. Any path
// opens, pseudo-terminals included, for this program alone
// (serial_posix_owner.cpp).
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "comm/PseudoTerminalLine.h"
#include "comm/SerialDevice.h"
#include "comm/WireTime.h"
#include "comm/serial_posix_owner.h"
#include "comm/serial_posix_termios.h"

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace lumaq {
namespace {

using posix::Fail;

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

[[noreturn]] void FailHungUp(const char* operation) {
  throw SerialError(operation, EIO, true);
}

// Milliseconds from now to deadline for poll: -1 without a deadline, 0 once
// it has passed, rounded up so that a wait never ends before its deadline.
int PollTimeout(SerialClock::time_point deadline) {
  const auto left = Deadline(deadline).LeftMilliseconds();
  if (!left) return -1;
  return static_cast<int>(std::min<long long>(left->count(), 1'000'000'000));
}

// The driver's error counters, where the system keeps them.
struct ErrorCounters {
  unsigned long frame = 0, parity = 0, overrun = 0, brk = 0, rxOverflow = 0;
};

#if defined(__linux__) && defined(TIOCGICOUNT)
bool ReadErrorCounters(int fd, ErrorCounters& counters) {
  serial_icounter_struct icount{};
  if (::ioctl(fd, TIOCGICOUNT, &icount) != 0) return false;
  counters.frame = static_cast<unsigned long>(icount.frame);
  counters.parity = static_cast<unsigned long>(icount.parity);
  counters.overrun = static_cast<unsigned long>(icount.overrun);
  counters.brk = static_cast<unsigned long>(icount.brk);
  counters.rxOverflow = static_cast<unsigned long>(icount.buf_overrun);
  return true;
}
#else
bool ReadErrorCounters(int, ErrorCounters&) {
  return false;
}
#endif

// What is no terminal (a regular file, a folder, /dev/null) is no serial
// line: refused before the look for the device's holders, since many a
// process holds /dev/null, and none of them holds a serial line. The kernel
// names the kind of most character devices; a pseudo-terminal it does not,
// and the open asks that one itself.
void RefuseNonTerminal(const std::string& path) {
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0) return;  // the open says why
  if (!S_ISCHR(device.st_mode)) throw SerialError("open", ENOTTY);
  const std::string kind = "/sys/dev/char/" + std::to_string(major(device.st_rdev)) + ":" +
                           std::to_string(minor(device.st_rdev)) + "/subsystem";
  char target[256];
  const ssize_t length = ::readlink(kind.c_str(), target, sizeof target);
  if (length <= 0) return;
  const std::string subsystem(target, static_cast<std::size_t>(length));
  if (subsystem.substr(subsystem.rfind('/') + 1) != "tty") throw SerialError("open", ENOTTY);
}

// The program that has the device at path open, when it can be seen.
std::string HolderOf(const std::string& path) {
  struct stat device {};
  if (::stat(path.c_str(), &device) != 0) return {};
  return posix::OtherProcessHolding(device).value_or("");
}

class PosixSerialDevice final : public SerialDevice {
 public:
  explicit PosixSerialDevice(std::string lockFolder = posix::kLockFolder)
      : lockFolder_(std::move(lockFolder)) {}
  ~PosixSerialDevice() override { Close(); }

  // The device is refused when it is no terminal (ENOTTY), when another
  // process has it open, when another program's lock file names it, or when
  // the flock fails; while open, it
  // keeps other programs out with TIOCEXCL (not root), the flock (every
  // program that asks for it, root included) and its lock file.
  void Open(const std::string& path) override {
    Close();
    RefuseNonTerminal(path);
    // The slow look through the other processes comes before the open: an
    // instrument may start sending as soon as it sees the line opened, and
    // what it sends after the purge below must not be lost.
    if (std::string holder = HolderOf(path); !holder.empty()) {
      throw SerialError("open", EBUSY, false, std::move(holder));
    }
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
      const int error = errno;
      // Refused by another program's TIOCEXCL.
      if (error == EBUSY) throw SerialError("open", error, false, HolderOf(path));
      Fail("open", error);
    }
    if (!::isatty(fd.Get())) Fail("open", ENOTTY);
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) Fail("lock");
    posix::DeviceLockFile lock = posix::DeviceLockFile::Take(path, lockFolder_);
    ::ioctl(fd.Get(), TIOCEXCL);
    DiscardUnread(fd.Get());
    TakeOver(std::move(fd));
    lock_ = std::move(lock);
  }

  // Takes over a descriptor opened elsewhere, as Open takes its own.
  void Adopt(UniqueFd fd) {
    DiscardUnread(fd.Get());
    TakeOver(std::move(fd));
  }

  void Close() noexcept override {
    // The lock file goes before the descriptor: a pseudo-terminal's number is
    // free for a new pair as soon as its last descriptor closes, and a lock
    // left behind for that moment makes the next program find the new line
    // held by this one.
    lock_ = {};
    if (fd_.Get() >= 0) {
      ::ioctl(fd_.Get(), TIOCNXCL);
      fd_.Reset();
    }
    wakeRead_.Reset();
    wakeWrite_.Reset();
  }

  bool IsOpen() const noexcept override { return fd_.Get() >= 0; }
  int WatchHandle() const noexcept override { return fd_.Get(); }

  void Configure(const SerialLineSettings& settings) override {
    posix::ConfigureLine(fd_.Get(), settings);
    discardNull_ = settings.discardNull;
    baudRate_ = settings.baudRate;
  }

  // The kernel's queues have a fixed size.
  void SetQueueSizes(int, int) override {}

  SerialWaitResult Wait(SerialClock::time_point deadline, unsigned what) override {
    pollfd fds[2] = {{-1, 0, 0}, {-1, POLLIN, 0}};
    if (what & (kWaitReadable | kWaitLine)) {
      fds[0].fd = fd_.Get();
      fds[0].events = (what & kWaitReadable) ? POLLIN : 0;
    }
    if (what & kWaitInterrupt) fds[1].fd = wakeRead_.Get();
    for (;;) {
      const int ready = ::poll(fds, 2, PollTimeout(deadline));
      if (ready < 0) {
        if (errno == EINTR) continue;
        Fail("poll");
      }
      if (fds[1].revents) {
        char drain[64];
        while (::read(wakeRead_.Get(), drain, sizeof drain) > 0) {
        }
        return SerialWaitResult::kInterrupted;
      }
      if (fds[0].revents & POLLIN) return SerialWaitResult::kReadable;
      if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return SerialWaitResult::kHungUp;
      if (ready == 0 && PollTimeout(deadline) == 0) return SerialWaitResult::kTimedOut;
    }
  }

  void Interrupt() noexcept override {
    if (wakeWrite_.Get() < 0) return;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeWrite_.Get(), &byte, 1);
  }

  std::size_t ReadAvailable(std::span<std::uint8_t> into) override {
    if (into.empty()) return 0;
    // Mostly called when a wait has just seen bytes: the read comes first,
    // and only a read that takes nothing asks the line what it holds.
    if (const std::size_t count = ReadNow(into, false)) return Kept(into, count);
    pollfd fd{fd_.Get(), POLLIN, 0};
    int ready;
    do {
      ready = ::poll(&fd, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) Fail("poll");
    if (!(fd.revents & POLLIN)) {
      if (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) FailHungUp("read");
      return 0;
    }
    // Bytes came after the read, or the line is gone: with VMIN = VTIME = 0
    // a line that is gone reads 0 while poll says there are bytes.
    const std::size_t count = ReadNow(into, true);
    if (count == 0) FailHungUp("read");
    return Kept(into, count);
  }

  std::size_t Write(std::span<const std::uint8_t> bytes,
                    SerialClock::time_point deadline) override {
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t count = ::write(fd_.Get(), bytes.data() + written, bytes.size() - written);
      if (count > 0) {
        written += static_cast<std::size_t>(count);
        continue;
      }
      if (count < 0 && errno == EINTR) continue;
      if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) Fail("write");
      pollfd fd{fd_.Get(), POLLOUT, 0};
      const int ready = ::poll(&fd, 1, PollTimeout(deadline));
      if (ready < 0 && errno != EINTR) Fail("poll");
      if (ready == 0) return written;
      if (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) FailHungUp("write");
    }
    WaitUntilSent(Deadline(deadline));
    return written;
  }

  void Flush(bool input, bool output) override {
    if (!input && !output) return;
    const int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    if (::tcflush(fd_.Get(), queue) != 0) Fail("tcflush");
  }

  bool Drain(SerialClock::time_point deadline) noexcept override {
    WaitUntilSent(Deadline(deadline));
    int queued = 0;
    return ::ioctl(fd_.Get(), TIOCOUTQ, &queued) != 0 || queued <= 0;
  }

  std::size_t BytesWaiting() override {
    int count = 0;
    if (::ioctl(fd_.Get(), FIONREAD, &count) != 0) Fail("FIONREAD");
    return static_cast<std::size_t>(std::max(count, 0));
  }

  unsigned TakeLineErrors() override {
    ErrorCounters now;
    if (!hasCounters_ || !ReadErrorCounters(fd_.Get(), now)) return 0;
    unsigned errors = 0;
    if (now.frame != counters_.frame) errors |= kLineFrame;
    if (now.parity != counters_.parity) errors |= kLineParity;
    if (now.overrun != counters_.overrun) errors |= kLineOverrun;
    if (now.brk != counters_.brk) errors |= kLineBreak;
    if (now.rxOverflow != counters_.rxOverflow) errors |= kLineRxOverflow;
    counters_ = now;
    return errors;
  }

 private:
  // Whatever an earlier user left unread is not ours.
  static void DiscardUnread(int fd) { ::tcflush(fd, TCIFLUSH); }

  // What one read takes without waiting: 0 when nothing is there (or the line
  // is gone). A failed read raises only when failures count.
  std::size_t ReadNow(std::span<std::uint8_t> into, bool failuresCount) {
    ssize_t count;
    do {
      count = ::read(fd_.Get(), into.data(), into.size());
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || !failuresCount) return 0;
      Fail("read");
    }
    return static_cast<std::size_t>(count);
  }

  // Of count bytes read into into, those kept: zero bytes go when discarded.
  std::size_t Kept(std::span<std::uint8_t> into, std::size_t count) const {
    if (!discardNull_) return count;
    const auto end = std::remove(into.begin(), into.begin() + static_cast<std::ptrdiff_t>(count),
                                 std::uint8_t{0});
    return static_cast<std::size_t>(end - into.begin());
  }

  // An open descriptor, its unread input already discarded, becomes the line.
  void TakeOver(UniqueFd fd) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe");
    wakeRead_.Reset(pipeFds[0]);
    wakeWrite_.Reset(pipeFds[1]);
    counters_ = {};
    hasCounters_ = ReadErrorCounters(fd.Get(), counters_);
    writesLeaveAtOnce_ = IsPseudoTerminal(fd.Get());
    fd_ = std::move(fd);
  }

  // Either end of a pseudo-terminal: it keeps no output queue (TIOCOUTQ is 0
  // whatever was written), so there is nothing to wait for after a write.
  static bool IsPseudoTerminal(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
    const unsigned kind = ::major(status.st_rdev);
    constexpr unsigned kFirstPtySlave = 136, kLastPtySlave = 143, kPtyMaster = 5;
    return (kind >= kFirstPtySlave && kind <= kLastPtySlave) ||
           (kind == kPtyMaster && ::minor(status.st_rdev) == 2);
  }

  // The bytes written are complete when they have left the output queue, as
  // far as the driver tells; a device that does not tell counts as done.
  void WaitUntilSent(Deadline deadline) noexcept {
    using std::chrono::microseconds;
    if (writesLeaveAtOnce_) return;
    for (;;) {
      int queued = 0;
      if (::ioctl(fd_.Get(), TIOCOUTQ, &queued) != 0 || queued <= 0) return;
      if (deadline.Passed()) return;
      // About the time the queued bytes take on the wire.
      auto pause = std::clamp(WireTime(queued, baudRate_), microseconds(500), microseconds(20'000));
      if (const auto left = deadline.Left()) {
        pause = std::min(pause, std::chrono::ceil<microseconds>(*left));
      }
      std::this_thread::sleep_for(pause);
    }
  }

  std::string lockFolder_;
  UniqueFd fd_;
  posix::DeviceLockFile lock_;
  UniqueFd wakeRead_;
  UniqueFd wakeWrite_;
  bool discardNull_ = false;
  int baudRate_ = 9600;
  bool hasCounters_ = false;
  ErrorCounters counters_;
  bool writesLeaveAtOnce_ = false;
};

}  // namespace

std::unique_ptr<SerialDevice> CreateSerialDevice() {
  return std::make_unique<PosixSerialDevice>();
}

std::unique_ptr<SerialDevice> posix::CreateSerialDevice(std::string lockFolder) {
  return std::make_unique<PosixSerialDevice>(std::move(lockFolder));
}

std::string CurrentUserName() {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found) {
    return found->pw_name;
  }
  const char* name = std::getenv("USER");
  return name ? name : "";
}

PseudoTerminalLine CreatePseudoTerminalLine() {
  UniqueFd own(::posix_openpt(O_RDWR | O_NOCTTY));
  if (own.Get() < 0) Fail("posix_openpt");
  if (::grantpt(own.Get()) != 0 || ::unlockpt(own.Get()) != 0) Fail("unlockpt");
  const int flags = ::fcntl(own.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(own.Get(), F_SETFL, flags | O_NONBLOCK) != 0 ||
      ::fcntl(own.Get(), F_SETFD, FD_CLOEXEC) != 0) {
    Fail("fcntl");
  }
  char name[128];
  if (::ptsname_r(own.Get(), name, sizeof name) != 0) Fail("ptsname_r");
  {
    // Raw from the start, so that nothing sent before the program configures
    // its end is echoed or held back; then the far end is let go at once.
    const UniqueFd far(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (far.Get() < 0) Fail("open");
    termios tio{};
    if (::tcgetattr(far.Get(), &tio) != 0) Fail("tcgetattr");
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(far.Get(), TCSANOW, &tio) != 0) Fail("tcsetattr");
  }
  auto device = std::make_unique<PosixSerialDevice>();
  device->Adopt(std::move(own));
  return {std::move(device), name};
}

}  // namespace lumaq
