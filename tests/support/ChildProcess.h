// The one way the tests start a program: with arguments, in a folder, with
// bytes on its standard input or none. Its standard output is read as it
// comes; its standard error goes to a file, where it can be read at any time,
// or is collected with the output. Its end is awaited with a deadline; a
// child still running when the object goes is killed. RunCli runs lumaq-cli
// (or another program) to its end as a shell script would.
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

#include "records/JobFiles.h"

extern char** environ;

namespace lumaq::test {

// How a child starts.
struct ChildStart {
  std::string folder;                // empty: the test's own
  std::optional<std::string> input;  // fed to standard input by RunToEnd; nothing: an empty one
  std::string errorFile;             // standard error goes here; empty: collected
};

// What a program run to its end left.
struct CliResult {
  int exitCode = -1;  // -1 when the program did not exit by itself
  std::string out;    // standard output, as bytes
  std::string err;    // standard error, as bytes
  bool timedOut = false;
};

namespace child_process {

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

[[noreturn]] inline void Fail(const std::string& what, int error = errno) {
  throw std::system_error(error, std::generic_category(), what);
}

// A pipe: first the end to read, second the end to write.
inline std::pair<Fd, Fd> Pipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) Fail("pipe2");
  return {Fd(ends[0]), Fd(ends[1])};
}

using Clock = std::chrono::steady_clock;

inline int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace child_process

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const ChildStart& start)
      : errorFile_(start.errorFile), input_(start.input.value_or("")) {
    using child_process::Fd;
    using child_process::Pipe;
    // Writing to a program that has stopped reading must fail, not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    auto [outRead, outWrite] = Pipe();
    outRead_ = std::move(outRead);
    auto [inRead, inWrite] = input_.empty() ? std::pair<Fd, Fd>() : Pipe();
    inWrite_ = std::move(inWrite);
    auto [errRead, errWrite] = errorFile_.empty() ? Pipe() : std::pair<Fd, Fd>();
    errRead_ = std::move(errRead);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inRead.Get() >= 0) {
      posix_spawn_file_actions_adddup2(&actions, inRead.Get(), STDIN_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDOUT_FILENO);
    if (errWrite.Get() >= 0) {
      posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), STDERR_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile_.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (!start.folder.empty()) {
      posix_spawn_file_actions_addchdir_np(&actions, start.folder.c_str());
    }
    // The child gets SIGPIPE back, as from a shell.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int error =
        ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
      pid_ = -1;
      child_process::Fail("posix_spawn " + program, error);
    }
    // Readable once the child has ended.
    exited_ = Fd(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
    if (exited_.Get() < 0) {
      const int openError = errno;
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      child_process::Fail("pidfd_open", openError);
    }
    // Input goes in as far as the pipe takes it, between reads of the output:
    // a blocking write could wait for a program that waits for its reader.
    if (inWrite_.Get() >= 0) {
      ::fcntl(inWrite_.Get(), F_SETFL, ::fcntl(inWrite_.Get(), F_GETFL) | O_NONBLOCK);
    }
  }

  // Standard input empty, standard error to errorFile.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               std::string errorFile, const std::string& folder = {})
      : ChildProcess(program, arguments,
                     ChildStart{.folder = folder, .input = {}, .errorFile = std::move(errorFile)}) {
  }

  ~ChildProcess() {
    if (pid_ > 0 && !exitCode_) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int signal) { ::kill(pid_, signal); }
  pid_t Pid() const { return pid_; }

  // The next line of standard output without its line break, or nothing when
  // none is complete by the deadline.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = child_process::Clock::now() + timeout;
    for (;;) {
      const auto end = out_.find('\n');
      if (end != std::string::npos) {
        std::string line = out_.substr(0, end);
        out_.erase(0, end + 1);
        return line;
      }
      pollfd fd{outRead_.Get(), POLLIN, 0};
      const int left = child_process::MillisecondsLeft(deadline);
      if (left == 0 || ::poll(&fd, 1, left) <= 0 || !ReadSome(outRead_, out_)) {
        return std::nullopt;
      }
    }
  }

  // The exit status once the child has ended, or nothing while it still runs
  // at the deadline (-1 when a signal ended it).
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = child_process::Clock::now() + timeout;
    while (!exitCode_) {
      pollfd fd{exited_.Get(), POLLIN, 0};
      const int ready = ::poll(&fd, 1, child_process::MillisecondsLeft(deadline));
      if (ready > 0) {
        Reap();
      } else if (ready == 0) {
        break;
      } else if (errno != EINTR) {
        child_process::Fail("poll");
      }
    }
    return exitCode_;
  }

  // Feeds the input, collects standard output and error until the child has
  // ended and closed them, and kills it at the deadline.
  CliResult RunToEnd(std::chrono::milliseconds timeout) {
    const auto deadline = child_process::Clock::now() + timeout;
    CliResult result;
    std::size_t written = 0;
    if (input_.empty()) inWrite_.Close();
    bool ended = exitCode_.has_value();
    while (!ended || outRead_.Get() >= 0 || errRead_.Get() >= 0) {
      const int left = child_process::MillisecondsLeft(deadline);
      if (left == 0) {
        result.timedOut = true;
        ::kill(pid_, SIGKILL);
        break;
      }
      pollfd fds[4] = {{outRead_.Get(), POLLIN, 0},
                       {errRead_.Get(), POLLIN, 0},
                       {inWrite_.Get(), POLLOUT, 0},
                       {ended ? -1 : exited_.Get(), POLLIN, 0}};
      if (::poll(fds, 4, left) < 0) {
        if (errno == EINTR) continue;
        child_process::Fail("poll");
      }
      if (fds[0].revents != 0 && !ReadSome(outRead_, out_)) outRead_.Close();
      if (fds[1].revents != 0 && !ReadSome(errRead_, err_)) errRead_.Close();
      if (fds[2].revents != 0) {
        const ssize_t sent =
            ::write(inWrite_.Get(), input_.data() + written, input_.size() - written);
        if (sent > 0) written += static_cast<std::size_t>(sent);
        if (sent < 0 && errno != EINTR && errno != EAGAIN) {
          written = input_.size();  // the program closed its input
        }
        if (written == input_.size()) inWrite_.Close();
      }
      if (fds[3].revents != 0) ended = true;
    }
    inWrite_.Close();
    if (!exitCode_) Reap();
    if (!result.timedOut) result.exitCode = *exitCode_;
    result.out = std::move(out_);
    result.err = errorFile_.empty() ? std::move(err_) : Errors();
    return result;
  }

  // What the child wrote to standard error so far, when it goes to a file.
  std::string Errors() const { return ReadFileBytes(errorFile_); }

 private:
  // Appends what a pipe holds to into; false at its end or on an error.
  static bool ReadSome(const child_process::Fd& pipe, std::string& into) {
    char buffer[4096];
    for (;;) {
      const ssize_t got = ::read(pipe.Get(), buffer, sizeof buffer);
      if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
        return true;
      }
      if (got == 0 || errno != EINTR) return false;
    }
  }

  void Reap() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
      if (errno != EINTR) child_process::Fail("waitpid");
    }
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t pid_ = -1;
  std::string errorFile_;
  std::string input_;
  child_process::Fd inWrite_;
  child_process::Fd outRead_;
  child_process::Fd errRead_;
  child_process::Fd exited_;
  std::string out_;  // read, not yet taken
  std::string err_;
  std::optional<int> exitCode_;
};

struct CliRun {
  std::string workingFolder;         // empty: the test's own
  std::optional<std::string> input;  // standard input; nothing: an empty one
  std::chrono::milliseconds deadline = std::chrono::seconds(30);
};

// Runs program (by default the lumaq-cli of this build) with arguments to its
// end, or to the deadline.
inline CliResult RunCli(const std::vector<std::string>& arguments, const CliRun& run = {},
                        const std::string& program = LUMAQ_CLI) {
  ChildProcess child(program, arguments,
                     ChildStart{.folder = run.workingFolder, .input = run.input, .errorFile = {}});
  return child.RunToEnd(run.deadline);
}

}  // namespace lumaq::test
