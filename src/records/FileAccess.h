// What replacing a file asks of the system beyond the standard library: may
// the user write the file, and the file's mode, owner and group handed on to
// the file that replaces it. One implementation per system, chosen by CMake
// (records/file_posix.cpp).
#pragma once

#include <cstdio>
#include <string>

namespace lumaq {

// What is at a path, its links followed, as far as reading or replacing it
// as a file goes.
enum class FileKind { kNone, kRegular, kFolder, kDevice, kPipe, kSocket, kOther };

// The kind of what is at path (kNone when nothing is, or it cannot be seen).
FileKind KindOfFile(const std::string& path);

// A file opened for reading, or why not: a stream when path is a regular
// file (or a link to one); otherwise no stream and the kind of what is
// there, or the errno value of a failure to open it.
struct OpenedFile {
  std::FILE* stream = nullptr;
  FileKind kind = FileKind::kNone;
  int error = 0;
};
// Opens path to read it as a file. A FIFO or a device is never waited on:
// it is opened without blocking, looked at, and closed again.
OpenedFile OpenRegularFile(const std::string& path);

// False when the existing file at path is read-only for the user: the system
// refuses the user write access to it, or it has no write permission for
// anyone (which the superuser would otherwise override). A file on a
// read-only file system is left to fail with that reason.
bool MayWriteFile(const std::string& path);

// Gives the file at replacement the permission bits of the file at original,
// and its owner and group where the system allows it (a user who is not the
// owner keeps owning the new file). Returns 0, or the errno value of a
// failure to set the permission bits.
int CopyFileAccess(const std::string& original, const std::string& replacement);

}  // namespace lumaq
