// Waiting, up to a deadline, for a text to appear in a file another process
// writes (a simulated instrument's log, a program's standard error).
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "records/JobFiles.h"

namespace lumaq::test {

// True once the file holds text; false when the time ran out first.
inline bool AwaitText(const std::string& path, const std::string& text,
                      std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (std::filesystem::exists(path) && ReadFileBytes(path).find(text) != std::string::npos) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace lumaq::test
