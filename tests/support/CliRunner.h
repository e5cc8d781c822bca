// Runs lumaq-cli as a shell script would: with arguments, in a folder, with
// bytes on its standard input or none, and collects its exit code, standard
// output and standard error. A run that outlives its deadline is killed and
// reported as timed out.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace lumaq::test {

struct CliResult {
  int exitCode = -1;  // -1 when the program did not exit by itself
  std::string out;    // standard output, as bytes
  std::string err;    // standard error, as bytes
  bool timedOut = false;
};

struct CliRun {
  std::string workingFolder;         // empty: the test's own
  std::optional<std::string> input;  // standard input; nothing: an empty one
  std::chrono::milliseconds deadline = std::chrono::seconds(30);
};

namespace cli_runner {

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  int Get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

[[noreturn]] inline void Fail(const char* what, int error = errno) {
  throw std::system_error(error, std::generic_category(), what);
}

// A pipe: [0] the end to read, [1] the end to write.
inline std::pair<Fd, Fd> Pipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) Fail("pipe2");
  return {Fd(ends[0]), Fd(ends[1])};
}

}  // namespace cli_runner

// Runs program (by default the lumaq-cli of this build) with arguments.
inline CliResult RunCli(const std::vector<std::string>& arguments, const CliRun& run = {},
                        const std::string& program = LUMAQ_CLI) {
  using cli_runner::Fail;
  using cli_runner::Fd;
  using Clock = std::chrono::steady_clock;
  // Writing to a program that has stopped reading must fail, not end the test.
  std::signal(SIGPIPE, SIG_IGN);

  auto [inRead, inWrite] = cli_runner::Pipe();
  auto [outRead, outWrite] = cli_runner::Pipe();
  auto [errRead, errWrite] = cli_runner::Pipe();

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inRead.Get(), STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), STDERR_FILENO);
  if (!run.workingFolder.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, run.workingFolder.c_str());
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned =
      ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) Fail("posix_spawn", spawned);
  inRead.Close();
  outWrite.Close();
  errWrite.Close();
  // Input goes in as far as the pipe takes it, between reads of the output:
  // a blocking write could wait for a program that waits for its reader.
  ::fcntl(inWrite.Get(), F_SETFL, ::fcntl(inWrite.Get(), F_GETFL) | O_NONBLOCK);

  // Readable once the program has ended.
  Fd exited(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  if (exited.Get() < 0) {
    const int error = errno;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    Fail("pidfd_open", error);
  }

  CliResult result;
  const std::string_view input = run.input ? std::string_view(*run.input) : std::string_view();
  std::size_t written = 0;
  if (input.empty()) inWrite.Close();
  const Clock::time_point deadline = Clock::now() + run.deadline;
  bool ended = false;
  while (!ended || outRead.Get() >= 0 || errRead.Get() >= 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    pollfd fds[4] = {{outRead.Get(), POLLIN, 0},
                     {errRead.Get(), POLLIN, 0},
                     {inWrite.Get(), POLLOUT, 0},
                     {ended ? -1 : exited.Get(), POLLIN, 0}};
    if (::poll(fds, 4, static_cast<int>(left)) < 0) {
      if (errno == EINTR) continue;
      Fail("poll");
    }
    Fd* readers[2] = {&outRead, &errRead};
    std::string* targets[2] = {&result.out, &result.err};
    for (std::size_t i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = ::read(readers[i]->Get(), buffer, sizeof buffer);
      if (got > 0) {
        targets[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        readers[i]->Close();
      }
    }
    if (fds[2].revents != 0) {
      const ssize_t sent = ::write(inWrite.Get(), input.data() + written, input.size() - written);
      if (sent > 0) written += static_cast<std::size_t>(sent);
      if (sent < 0 && errno != EINTR && errno != EAGAIN) {
        written = input.size();  // the program closed its input
      }
      if (written == input.size()) inWrite.Close();
    }
    if (fds[3].revents != 0) ended = true;
  }
  inWrite.Close();
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) Fail("waitpid");
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace lumaq::test
