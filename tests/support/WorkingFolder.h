// Runs a test in another current working directory, and goes back after it.
#pragma once

#include <filesystem>
#include <string>

namespace lumaq::test {

class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(saved_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path saved_;
};

}  // namespace lumaq::test
