// FileAccess.h on POSIX systems.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "records/FileAccess.h"

namespace lumaq {
namespace {

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::kDevice;
  if (S_ISFIFO(mode)) return FileKind::kPipe;
  if (S_ISSOCK(mode)) return FileKind::kSocket;
  return FileKind::kOther;
}

}  // namespace

FileKind KindOfFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return FileKind::kNone;
  return KindOfMode(status.st_mode);
}

OpenedFile OpenRegularFile(const std::string& path) {
  OpenedFile opened;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    // A socket cannot be opened at all; say what it is rather than ENXIO.
    opened.error = errno;
    opened.kind = KindOfFile(path);
    if (opened.kind != FileKind::kNone && opened.kind != FileKind::kRegular) opened.error = 0;
    return opened;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    opened.error = errno;
    ::close(fd);
    return opened;
  }
  opened.kind = KindOfMode(status.st_mode);
  if (opened.kind != FileKind::kRegular) {
    ::close(fd);
    return opened;
  }
  // Reads of a regular file never block; the flag goes for the stream's sake.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  opened.stream = ::fdopen(fd, "rb");
  if (!opened.stream) {
    opened.error = errno;
    ::close(fd);
  }
  return opened;
}

bool MayWriteFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return true;  // nothing there to protect
  if ((status.st_mode & 0222) == 0) return false;
  // A read-only file system is no property of the file: the write fails there
  // with its own reason.
  return ::access(path.c_str(), W_OK) == 0 || (errno != EACCES && errno != EPERM);
}

int CopyFileAccess(const std::string& original, const std::string& replacement) {
  struct stat status {};
  if (::stat(original.c_str(), &status) != 0) return 0;
  // Owner and group first: changing them may clear the set-user-ID bits
  // that the mode then sets again. Not being allowed to is no failure.
  if (::chown(replacement.c_str(), status.st_uid, status.st_gid) != 0) {
    static_cast<void>(::chown(replacement.c_str(), static_cast<uid_t>(-1), status.st_gid));
  }
  if (::chmod(replacement.c_str(), status.st_mode & 07777) != 0) return errno;
  return 0;
}

}  // namespace lumaq
