#include "records/ReplacingFile.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "records/FileAccess.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;

// Every failure here is a file that cannot be written.
[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
  ThrowFileError("无法写入文件", path, error);
}

// The file a path leads to: its symbolic links followed (a link that leads
// nowhere yet leads to where the file will be made).
fs::path FollowLinks(const std::string& path) {
  constexpr int kMaxLinks = 40;  // as many as the system follows
  fs::path target(path);
  std::error_code error;
  for (int links = 0; links < kMaxLinks && fs::is_symlink(target, error); ++links) {
    const fs::path next = fs::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

}  // namespace

std::string ReplacingFile::TemporaryName(std::string_view target, unsigned long long number) {
  fs::path temporary(target);
  temporary.replace_filename(".lumaq-" + std::to_string(number % 10000000000ULL) + ".tmp");
  return temporary.string();
}

ReplacingFile::ReplacingFile(std::string path)
    : path_(std::move(path)), target_(FollowLinks(path_).string()) {
  if (const FileKind kind = KindOfFile(target_);
      kind != FileKind::kNone && kind != FileKind::kRegular) {
    ThrowNotARegularFile("无法写入文件", path_, kind);
  }
  if (!MayWriteFile(target_)) throw FileError("无法写入文件 \"" + path_ + "\"：文件是只读的");
  std::random_device seed;
  std::mt19937_64 random(seed());
  int error = 0;
  for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
    const std::string temporary = TemporaryName(target_, random());
    errno = 0;
    file_ = std::fopen(temporary.c_str(), "wbx");
    if (file_) {
      temporary_ = temporary;
    } else {
      error = errno;
      if (error != EEXIST) break;
    }
  }
  if (!file_) ThrowWriteError(path_, error);
  // Bytes go to the system in pieces of this size: few system calls for a
  // long file, a few pages of memory.
  constexpr std::size_t kBufferBytes = std::size_t{1} << 15;
  buffer_ = std::make_unique_for_overwrite<char[]>(kBufferBytes);
  std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
}

ReplacingFile::~ReplacingFile() {
  Discard();
}

void ReplacingFile::Write(std::string_view bytes) {
  if (!file_) ThrowWriteError(path_, EBADF);
  // An empty view may hold no pointer at all, which fwrite must not be given.
  if (bytes.empty()) return;
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
  if (const int accessError = CopyFileAccess(target_, temporary_); accessError != 0) {
    Discard();
    ThrowWriteError(path_, accessError);
  }
  std::error_code renameError;
  fs::rename(temporary_, target_, renameError);
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
