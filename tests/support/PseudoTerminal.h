// A pseudo-terminal pair standing in for a serial cable: the port under test
// opens Path(), the test plays the instrument on the far side.
//
// The helper keeps no descriptor of the port's end: a port is opened for one
// program alone and refuses a device that another process has open (so a
// lumaq-cli run by the test would refuse it). Until the port opens its end,
// and again once it has closed it, the far side sees a hang-up; bytes sent
// meanwhile wait for the port, and Receive waits for the port to open.
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
    // Raw, so that nothing is echoed or translated; the settings stay with
    // the pseudo-terminal when its end is closed and opened again.
    const int near = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (near < 0) Fail("open slave");
    termios tio{};
    ::tcgetattr(near, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(near, TCSANOW, &tio);
    ::close(near);
  }
  ~PseudoTerminal() { CloseFarSide(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The device path of the port's end.
  const std::string& Path() const { return path_; }
  // The line settings of the port's end, as the port set them (the far side
  // of a pseudo-terminal reads those of its other end).
  termios NearSettings() const {
    termios tio{};
    if (::tcgetattr(master_, &tio) != 0) Fail("tcgetattr");
    return tio;
  }

  // The far side sends bytes.
  void Send(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n < 0) Fail("write");
      done += static_cast<std::size_t>(n);
    }
  }

  // The far side sends bytes, waiting up to timeout while the port's end
  // takes none (its input is full); false when they did not all go by then.
  bool SendWithin(std::string_view bytes, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd fd{master_, POLLOUT, 0};
      if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno != EAGAIN && errno != EINTR) break;
      if (n > 0) done += static_cast<std::size_t>(n);
    }
    ::fcntl(master_, F_SETFL, flags);
    return done == bytes.size();
  }

  // Waits up to timeout until the port's end holds count unread bytes that
  // the far side sent; false when it does not by then. Only before the port
  // opens its end: it looks through a descriptor of its own for a moment.
  bool WaitUntilNearSideHolds(std::size_t count, std::chrono::milliseconds timeout) const {
    const int near = ::open(path_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (near < 0) Fail("open slave");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool held = false;
    for (;;) {
      int waiting = 0;
      if (::ioctl(near, FIONREAD, &waiting) != 0) break;
      held = waiting >= 0 && static_cast<std::size_t>(waiting) >= count;
      if (held || std::chrono::steady_clock::now() >= deadline) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(near);
    return held;
  }

  // What the port sent, waiting up to timeout for count bytes (and for the
  // port to open its end).
  std::string Receive(std::size_t count, std::chrono::milliseconds timeout) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
      if (!(fd.revents & POLLIN)) {
        // A hang-up: nobody has the port's end open (yet, or any more).
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
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
  std::string path_;
};

}  // namespace lumaq::test
