// The journal's file on POSIX: a plain descriptor in append mode, locked with
// flock, synced with fdatasync, renamed without replacing with renameat2.
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "comm/JournalFile.h"

namespace lumaq {
namespace {

constexpr const char* kWriteFailed = "无法写入文件";
constexpr const char* kOpenFailed = "无法打开文件";

// Opening a journal to look at it or claim it never waits on a FIFO or a
// device that has its name.
constexpr int kLookOpenFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Whether path still names the file open on fd (nobody removed or replaced it
// between the open and the lock).
bool StillThere(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Takes the lock without waiting: 0, EWOULDBLOCK when another program holds
// it, or the system's error.
int TryLock(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    return errno == EAGAIN ? EWOULDBLOCK : errno;
  }
  return 0;
}

// Renames from to to unless to exists: 0, EEXIST, or the system's error.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system that cannot refuse to replace: look first.
  struct stat there {};
  if (::lstat(to.c_str(), &there) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

JournalFile JournalFile::Create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST) {
      const bool inUse = InUse(path);
      throw JournalExists(inUse ? "接收日志 \"" + path + "\" 正由另一个运行中的程序写入"
                                : "接收日志 \"" + path + "\" 已存在（上次接收留下）",
                          inUse);
    }
    ThrowFileError(kWriteFailed, path, error);
  }
  JournalFile file(fd, path);
  if (const int error = TryLock(fd)) {
    if (error == EWOULDBLOCK) {
      throw JournalExists("接收日志 \"" + path + "\" 正由另一个运行中的程序写入", true);
    }
    ThrowFileError(kWriteFailed, path, error);
  }
  if (!StillThere(fd, path)) ThrowFileError(kWriteFailed, path, ENOENT);
  return file;
}

std::optional<JournalFile> JournalFile::Claim(const std::string& path) {
  const int fd = ::open(path.c_str(), kLookOpenFlags);
  if (fd < 0) ThrowFileError(kOpenFailed, path, errno);
  JournalFile file(fd, path);
  if (const int error = TryLock(fd)) {
    if (error == EWOULDBLOCK) return std::nullopt;
    ThrowFileError(kOpenFailed, path, error);
  }
  // Removed or set aside by the program that held it until just now.
  if (!StillThere(fd, path)) return std::nullopt;
  struct stat status {};
  if (::fstat(fd, &status) == 0) file.size_ = static_cast<unsigned long long>(status.st_size);
  return file;
}

std::optional<JournalFile> JournalFile::HoldLock(const std::string& path) {
  // A program that removed the file as it let go of it may leave us the lock
  // of a file no longer there: then the file is made anew.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = ::open(path.c_str(),
                          O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) ThrowFileError(kWriteFailed, path, errno);
    JournalFile file(fd, path);
    struct stat status {};
    if (::fstat(fd, &status) == 0 && !S_ISREG(status.st_mode)) {
      ThrowFileError(kWriteFailed, path, S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    }
    if (const int error = TryLock(fd)) {
      if (error == EWOULDBLOCK) return std::nullopt;
      ThrowFileError(kWriteFailed, path, error);
    }
    if (StillThere(fd, path)) return file;
  }
  ThrowFileError(kWriteFailed, path, EAGAIN);
}

bool JournalFile::InUse(const std::string& path) {
  const int fd = ::open(path.c_str(), kLookOpenFlags);
  if (fd < 0) return false;
  const bool held = TryLock(fd) == EWOULDBLOCK;
  ::close(fd);
  return held;
}

std::chrono::system_clock::time_point JournalFile::LastWriteTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) ThrowFileError(kOpenFailed, path, errno);
  const auto since = std::chrono::seconds(status.st_mtim.tv_sec) +
                     std::chrono::nanoseconds(status.st_mtim.tv_nsec);
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(since));
}

std::string JournalFile::DateStamp(std::chrono::system_clock::time_point time) {
  const time_t seconds = std::chrono::system_clock::to_time_t(time);
  struct tm local {};
  char text[32] = "";
  if (::localtime_r(&seconds, &local)) ::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

JournalFile::JournalFile(JournalFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)), size_(other.size_) {}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    size_ = other.size_;
  }
  return *this;
}

JournalFile::~JournalFile() {
  Close();
}

void JournalFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void JournalFile::Append(std::string_view bytes) {
  if (fd_ < 0) ThrowFileError(kWriteFailed, path_, EBADF);
  const std::size_t size = bytes.size();
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const int error = written < 0 ? errno : EIO;
      // No half frame stays behind when the system lets us take it back.
      [[maybe_unused]] const int ignored = ::ftruncate(fd_, static_cast<off_t>(size_));
      ThrowFileError(kWriteFailed, path_, error);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  size_ += size;
}

void JournalFile::DataSync() {
  if (fd_ < 0) ThrowFileError(kWriteFailed, path_, EBADF);
  while (::fdatasync(fd_) != 0) {
    if (errno != EINTR) ThrowFileError(kWriteFailed, path_, errno);
  }
}

void JournalFile::Remove() {
  const int error = ::unlink(path_.c_str()) == 0 || errno == ENOENT ? 0 : errno;
  Close();
  if (error != 0) ThrowFileError(kWriteFailed, path_, error);
}

std::string JournalFile::SetAside() {
  const std::string stamp = DateStamp(LastWriteTime(path_));
  for (int number = 1; number < 1000; ++number) {
    std::string aside = path_ + "." + stamp;
    if (number > 1) aside += "-" + std::to_string(number);
    const int error = RenameNoReplace(path_, aside);
    if (error == EEXIST) continue;
    if (error != 0) ThrowFileError(kWriteFailed, path_, error);
    Close();
    return aside;
  }
  ThrowFileError(kWriteFailed, path_, EEXIST);
}

}  // namespace lumaq
