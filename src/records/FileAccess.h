// What replacing a file asks of the system beyond the standard library: may
// the user write the file, and the file's mode, owner and group handed on to
// the file that replaces it. One implementation per system, chosen by CMake
// (records/file_posix.cpp).
#pragma once

#include <string>

namespace lumaq {

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
