// Another program that holds a device open, as a terminal program or a modem
// manager probing a new serial device does: "sleep", with the device as its
// descriptor 3, until the object goes.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "records/JobFiles.h"
#include "support/ChildProcess.h"

namespace lumaq::test {

class DeviceHolder {
 public:
  // errorFile: where the holder's standard error goes.
  DeviceHolder(const std::string& path, const std::string& errorFile)
      : child_("/bin/sh", {"-c", "exec 3<>\"$1\" && exec sleep 60", "sh", path}, errorFile) {}

  // Waits until the holder is "sleep" with the device open; false when it is
  // not within 10 s.
  bool Ready() const {
    const std::string proc = "/proc/" + std::to_string(Pid());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      std::error_code ignored;
      if (std::filesystem::exists(proc + "/fd/3", ignored)) {
        try {
          if (ReadFileBytes(proc + "/comm") == "sleep\n") return true;
        } catch (const FileError&) {
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  pid_t Pid() const { return child_.Pid(); }
  // As the port names it.
  std::string Description() const { return "sleep（PID " + std::to_string(Pid()) + "）"; }

 private:
  ChildProcess child_;
};

}  // namespace lumaq::test
