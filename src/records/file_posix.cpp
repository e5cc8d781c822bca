// FileAccess.h on POSIX systems.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "records/FileAccess.h"

namespace lumaq {

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
