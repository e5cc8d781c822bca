// A program run beside the test: its standard output read as it comes, its
// standard error kept in a file, its end awaited with a deadline. A child
// still running when the object goes is killed.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "records/JobFiles.h"

extern char** environ;

namespace lumaq::test {

class ChildProcess {
 public:
  // Runs program with arguments in folder (the test's own when empty);
  // standard input is /dev/null, standard error goes to errorFile.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               std::string errorFile, const std::string& folder = {})
      : errorFile_(std::move(errorFile)) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) Fail("pipe2");
    outRead_ = out[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (error != 0) {
      pid_ = -1;
      throw std::system_error(error, std::generic_category(), "posix_spawn " + program);
    }
  }
  ~ChildProcess() {
    if (pid_ > 0 && !exitCode_) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    if (outRead_ >= 0) ::close(outRead_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void Signal(int signal) { ::kill(pid_, signal); }
  pid_t Pid() const { return pid_; }

  // The next line of standard output without its line break, or nothing when
  // none is complete by the deadline.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const auto end = out_.find('\n');
      if (end != std::string::npos) {
        std::string line = out_.substr(0, end);
        out_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd fd{outRead_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
        return std::nullopt;
      }
      char buffer[256];
      const ssize_t got = ::read(outRead_, buffer, sizeof buffer);
      if (got <= 0) return std::nullopt;
      out_.append(buffer, static_cast<std::size_t>(got));
    }
  }

  // The exit status once the child has ended, or nothing while it still runs
  // at the deadline (-1 when a signal ended it).
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exitCode_) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      } else if (std::chrono::steady_clock::now() >= deadline) {
        break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    return exitCode_;
  }

  // What the child wrote to standard error so far.
  std::string Errors() const { return ReadFileBytes(errorFile_); }

 private:
  [[noreturn]] static void Fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
  }

  pid_t pid_ = -1;
  int outRead_ = -1;
  std::string out_;
  std::string errorFile_;
  std::optional<int> exitCode_;
};

}  // namespace lumaq::test
