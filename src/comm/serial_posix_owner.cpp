// Who else uses a serial device: /proc for the processes that have it open,
// the UUCP lock files for the programs that announce it.
#include "comm/serial_posix_owner.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

namespace lumaq::posix {
namespace {

namespace fs = std::filesystem;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

// A PID from a /proc entry's name; 0 for any other entry.
pid_t PidOf(const char* name) {
  pid_t pid = 0;
  for (const char* c = name; *c; ++c) {
    if (*c < '0' || *c > '9' || pid > 99'999'999) return 0;
    pid = pid * 10 + (*c - '0');
  }
  return pid;
}

bool SameDevice(const struct stat& a, const struct stat& b) {
  if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) return a.st_rdev == b.st_rdev;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A small file's bytes; nothing when it cannot be read.
std::optional<std::string> ReadSmallFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  char buffer[64];
  ssize_t count;
  do {
    count = ::read(fd, buffer, sizeof buffer);
  } while (count < 0 && errno == EINTR);
  ::close(fd);
  if (count < 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(count));
}

bool ProcessIsAlive(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

// The lock file's bytes as other serial programs write them.
std::string LockFileBytes(pid_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
  return text;
}

enum class Made { kMade, kExists, kCannot };

// Makes path naming this process, complete from its first moment: written
// under another name and linked into place, which fails when path exists.
Made MakeLockFile(const std::string& path, const std::string& folder) {
  const std::string temporary = folder + "/LTMP." + std::to_string(::getpid());
  // The folder is everybody's: never follow or reuse what is there.
  ::unlink(temporary.c_str());
  const int fd =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return Made::kCannot;
  const std::string bytes = LockFileBytes(::getpid());
  const bool written =
      ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ::close(fd);
  const int linked = written ? ::link(temporary.c_str(), path.c_str()) : -1;
  const int error = errno;
  ::unlink(temporary.c_str());
  if (linked == 0) return Made::kMade;
  return written && error == EEXIST ? Made::kExists : Made::kCannot;
}

}  // namespace

std::string DescribeProcess(pid_t pid) {
  const std::string number = "PID " + std::to_string(pid);
  std::string name = ReadSmallFile("/proc/" + std::to_string(pid) + "/comm").value_or("");
  while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
  return name.empty() ? number : name + "（" + number + "）";
}

std::optional<std::string> OtherProcessHolding(const struct stat& device) {
  const Dir proc(::opendir("/proc"));
  if (!proc) return std::nullopt;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(proc.get())) {
    const pid_t pid = PidOf(entry->d_name);
    if (pid <= 0 || pid == self) continue;
    const Dir fds(::opendir(("/proc/" + std::string(entry->d_name) + "/fd").c_str()));
    if (!fds) continue;  // gone meanwhile, or another user's
    while (const dirent* fd = ::readdir(fds.get())) {
      if (fd->d_name[0] == '.') continue;
      struct stat open {};
      // Follows the descriptor's link to what it has open.
      if (::fstatat(::dirfd(fds.get()), fd->d_name, &open, 0) != 0) continue;
      if (SameDevice(open, device)) return DescribeProcess(pid);
    }
  }
  return std::nullopt;
}

std::string LockFileName(const std::string& devicePath) {
  std::error_code error;
  fs::path device = fs::canonical(devicePath, error);
  if (error) device = devicePath;
  const fs::path relative = device.lexically_relative("/dev");
  std::string name = relative.empty() || *relative.begin() == ".." ? device.filename().string()
                                                                   : relative.string();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return "LCK.." + name;
}

pid_t LockFilePid(std::string_view bytes) {
  if (bytes.size() == 4) {
    std::int32_t binary = 0;
    std::memcpy(&binary, bytes.data(), 4);
    // Four bytes could also be three digits and a line end.
    if (bytes.find_first_not_of(" 0123456789\n") != std::string_view::npos) {
      return binary > 0 ? static_cast<pid_t>(binary) : 0;
    }
  }
  const auto first = bytes.find_first_not_of(" \t");
  if (first == std::string_view::npos) return 0;
  pid_t pid = 0;
  std::size_t i = first;
  for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
    if (pid > 99'999'999) return 0;
    pid = pid * 10 + (bytes[i] - '0');
  }
  if (i == first || bytes.find_first_not_of(" \t\r\n", i) != std::string_view::npos) return 0;
  return pid;
}

DeviceLockFile::~DeviceLockFile() {
  Release();
}

DeviceLockFile::DeviceLockFile(DeviceLockFile&& other) noexcept
    : path_(std::exchange(other.path_, std::string())) {}

DeviceLockFile& DeviceLockFile::operator=(DeviceLockFile&& other) noexcept {
  if (this != &other) {
    Release();
    path_ = std::exchange(other.path_, std::string());
  }
  return *this;
}

void DeviceLockFile::Release() noexcept {
  if (path_.empty()) return;
  const auto bytes = ReadSmallFile(path_);
  // Another program's lock, made after ours went astray, stays.
  if (bytes && LockFilePid(*bytes) == ::getpid()) ::unlink(path_.c_str());
  path_.clear();
}

DeviceLockFile DeviceLockFile::Take(const std::string& devicePath, const std::string& folder) {
  const std::string path = folder + "/" + LockFileName(devicePath);
  // A second round for a lock file that another program made meanwhile.
  for (int round = 0; round < 2; ++round) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
      const auto bytes = ReadSmallFile(path);
      // A lock that cannot be read may be anybody's; one gone meanwhile is free.
      if (!bytes && errno != ENOENT) throw SerialError("lock", EBUSY, false, path);
      const pid_t pid = bytes ? LockFilePid(*bytes) : 0;
      if (pid > 0 && ProcessIsAlive(pid)) {
        throw SerialError("lock", EBUSY, false, DescribeProcess(pid));
      }
      if (::unlink(path.c_str()) != 0 && errno != ENOENT) return {};
    }
    switch (MakeLockFile(path, folder)) {
      case Made::kMade:
        return DeviceLockFile(path);
      case Made::kExists:
        continue;
      case Made::kCannot:
        return {};
    }
  }
  throw SerialError("lock", EBUSY);
}

}  // namespace lumaq::posix
