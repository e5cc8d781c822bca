// lumaq-cli instrument run beside the test on a pseudo-terminal of its own
// (--pty); the test plays the program on the far end, whose path the
// instrument prints first. Needs LUMAQ_CLI, the path of lumaq-cli.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ProgramEnd.h"
#include "support/TempDir.h"
#include "support/TransferLog.h"

namespace lumaq::test {

class InstrumentRun {
 public:
  // lumaq-cli instrument with arguments; standard error goes to a file in dir.
  InstrumentRun(const TempDir& dir, std::vector<std::string> arguments)
      : process_(LUMAQ_CLI, Prepend("instrument", std::move(arguments)),
                 dir.Path("instrument-errors.txt")) {}

  // The first line the instrument printed: the far end of its --pty.
  const std::string& FarPath() {
    if (farPath_.empty()) farPath_ = process_.ReadLine(std::chrono::seconds(10)).value_or("");
    return farPath_;
  }
  // The far end, opened as the program opens its port, on first use.
  ProgramEnd& Program() {
    if (!program_) program_ = std::make_unique<ProgramEnd>(FarPath());
    return *program_;
  }
  // What the instrument sent next, waiting up to timeout for count bytes.
  std::string Next(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    return HexBytes(Program().Receive(count, timeout));
  }
  void Send(std::string_view bytes) { Program().Send(bytes); }

  // Closes the far end, as the program does after the transfer, and waits for
  // the instrument's exit status (nothing when it is still running).
  std::optional<int> Finish(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    if (program_) program_->Close();
    return process_.WaitForExit(timeout);
  }
  ChildProcess& Process() { return process_; }
  std::string Errors() const { return process_.Errors(); }

 private:
  static std::vector<std::string> Prepend(std::string first, std::vector<std::string> rest) {
    rest.insert(rest.begin(), std::move(first));
    return rest;
  }

  ChildProcess process_;
  std::string farPath_;
  std::unique_ptr<ProgramEnd> program_;
};

// The instrument on a pseudo-terminal of its own, reached as COM1 through
// [PortMap] of a "Commpara" written in dir: the program folder of the windows
// under test.
inline std::unique_ptr<InstrumentRun> InstrumentOnCom1(const TempDir& dir,
                                                       std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "--pty");
  auto instrument = std::make_unique<InstrumentRun>(dir, std::move(arguments));
  dir.Write("Commpara", "[PortMap]\r\nCOM1=" + instrument->FarPath() + "\r\n");
  return instrument;
}

}  // namespace lumaq::test
