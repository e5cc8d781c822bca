// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "records/JobFiles.h"

namespace lumaq::test {

class TempDir {
 public:
  TempDir() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("lumaq-test-" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  std::string Folder() const { return path_.string(); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string file = Path(name);
    WriteFileAtomically(file, bytes);
    return file;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace lumaq::test
