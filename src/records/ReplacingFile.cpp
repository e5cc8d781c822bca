#include "records/ReplacingFile.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "records/JobFiles.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;

// Every failure here is a file that cannot be written.
[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
  ThrowFileError("无法写入文件", path, error);
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
  const fs::path target(path_);
  std::random_device seed;
  std::mt19937_64 random(seed());
  int error = 0;
  for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
    fs::path temporary = target;
    temporary.replace_filename("." + target.filename().string() + ".tmp" +
                               std::to_string(random() % 1000000000));
    errno = 0;
    file_ = std::fopen(temporary.c_str(), "wbx");
    if (file_) {
      temporary_ = temporary.string();
    } else {
      error = errno;
      if (error != EEXIST) break;
    }
  }
  if (!file_) ThrowWriteError(path_, error);
}

ReplacingFile::~ReplacingFile() {
  Discard();
}

void ReplacingFile::Write(std::string_view bytes) {
  if (!file_) ThrowWriteError(path_, EBADF);
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail(errno);
}

void ReplacingFile::Commit() {
  if (!file_) ThrowWriteError(path_, EBADF);
  errno = 0;
  if (std::fflush(file_) != 0) Fail(errno);
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) {
    const int error = errno;
    Discard();
    ThrowWriteError(path_, error);
  }
  std::error_code renameError;
  fs::rename(temporary_, path_, renameError);
  if (renameError) {
    Discard();
    ThrowWriteError(path_, renameError.value());
  }
  temporary_.clear();
}

void ReplacingFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
    temporary_.clear();
  }
}

void ReplacingFile::Fail(int error) {
  Discard();
  ThrowWriteError(path_, error);
}

}  // namespace lumaq
