// Folders whose file system fails writes the way real ones do: a small
// in-memory file system that fills up (or is read-only), and a folder marked
// immutable. Making them needs the superuser and a system that allows it;
// where it does not, Available() is false and Reason() says why, for the test
// to skip with.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "support/TempDir.h"

namespace lumaq::test {

// A tmpfs of a few kilobytes mounted on a fresh folder.
class SmallDisk {
 public:
  explicit SmallDisk(std::size_t kilobytes = 64) {
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    if (::mount("tmpfs", dir_.Folder().c_str(), "tmpfs", 0, options.c_str()) != 0) {
      reason_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
    } else {
      mounted_ = true;
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.Folder().c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Available() const { return mounted_; }
  const std::string& Reason() const { return reason_; }
  std::string Path(const std::string& name) const { return dir_.Path(name); }
  std::string Folder() const { return dir_.Folder(); }

  // Fills the disk but for about room bytes (whole pages): a spare file of
  // room bytes is written, a filler takes every page left, the spare goes.
  void FillBut(std::size_t room) {
    const std::string spare = Path("spare");
    WriteUntilFull(spare, room);
    WriteUntilFull(Path("filler"), static_cast<std::size_t>(-1));
    ::unlink(spare.c_str());
  }

  // The file system becomes read-only; false when it cannot.
  bool MakeReadOnly() {
    return ::mount("tmpfs", dir_.Folder().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  static void WriteUntilFull(const std::string& path, std::size_t most) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::string page(4096, 'f');
    for (std::size_t written = 0; written < most;) {
      const std::size_t size = std::min(page.size(), most - written);
      const ssize_t done = ::write(fd, page.data(), size);
      if (done <= 0) break;
      written += static_cast<std::size_t>(done);
    }
    ::close(fd);
  }

  TempDir dir_;
  bool mounted_ = false;
  std::string reason_;
};

// Sets or clears the immutable flag of a folder; the errno value of a
// failure (a file system without the flag, or no privilege), else 0.
inline int SetImmutable(const std::string& folder, bool immutable) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int flags = 0;
  int error = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    error = errno;
  } else {
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) error = errno;
  }
  ::close(fd);
  return error;
}

}  // namespace lumaq::test
