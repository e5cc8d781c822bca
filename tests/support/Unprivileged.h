// Runs a piece of a test as a user whom the system refuses what it refuses to
// ordinary users (a folder without write permission, a device without read
// permission). Root is refused nothing, so as root the piece runs in a child
// process that has become the user "nobody"; as any other user it runs in
// place.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace lumaq::test {

inline constexpr uid_t kNobody = 65534;

// What work returned (or "exception: " and its message; "(timed out)" for a
// child killed at the deadline), or nothing when the process cannot drop its
// privileges; a test then skips.
inline std::optional<std::string> RunUnprivileged(
    const std::function<std::string()>& work,
    std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
  if (::geteuid() != 0) return work();
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t pid = ::fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    ::close(ends[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(3);
    }
    std::string result;
    try {
      result = work();
    } catch (const std::exception& error) {
      result = std::string("exception: ") + error.what();
    }
    for (std::size_t done = 0; done < result.size();) {
      const ssize_t n = ::write(ends[1], result.data() + done, result.size() - done);
      if (n <= 0) ::_exit(4);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  std::string result;
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd fd{ends[0], POLLIN, 0};
    if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
      ::kill(pid, SIGKILL);
      result = "(timed out)";
      break;
    }
    char buffer[512];
    const ssize_t got = ::read(ends[0], buffer, sizeof buffer);
    if (got <= 0) break;
    result.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(ends[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result += "(the child failed)";
  return result;
}

}  // namespace lumaq::test
