// A pseudo-terminal pair standing in for a serial cable: the port under test
// opens Path(), the test plays the instrument on the far side.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace lumaq::test {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) Fail("posix_openpt");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) Fail("ptsname_r");
    path_ = name;
    // Held open so that the far side stays usable before and after the port
    // opens its own end; raw, so that nothing is echoed or translated.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) Fail("open slave");
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
  }
  ~PseudoTerminal() {
    CloseFarSide();
    if (slave_ >= 0) ::close(slave_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The device path of the port's end.
  const std::string& Path() const { return path_; }
  // A descriptor of the port's end, for reading its line settings.
  int NearFd() const { return slave_; }

  // The far side sends bytes.
  void Send(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n < 0) Fail("write");
      done += static_cast<std::size_t>(n);
    }
  }

  // Waits up to timeout until the port's end holds count unread bytes that
  // the far side sent; false when it does not by then.
  bool WaitUntilNearSideHolds(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int held = 0;
      if (::ioctl(slave_, FIONREAD, &held) != 0) Fail("FIONREAD");
      if (held >= 0 && static_cast<std::size_t>(held) >= count) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // What the port sent, waiting up to timeout for count bytes.
  std::string Receive(std::size_t count, std::chrono::milliseconds timeout) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[256];
      const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
      if (n <= 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
  }

  // The far side hangs up, as a pulled cable or adapter does.
  void CloseFarSide() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  [[noreturn]] static void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
  }

  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace lumaq::test
