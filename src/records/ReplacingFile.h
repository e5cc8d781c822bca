// A file written piece by piece that replaces its target only when complete:
// the bytes go to a temporary file beside the target, renamed over it by
// Commit. A failure, or leaving without Commit, removes the temporary file and
// leaves the target as it was.
//
// The replacement respects the file it replaces: what is no regular file (a
// folder, a device, a FIFO, a socket) is refused and left alone, a target
// the user may not write (see MayWriteFile) is refused, a symbolic link is followed and the
// file it leads to is replaced (the link stays), and the new file keeps the
// old one's permission bits, and its owner and group where allowed.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace lumaq {

class ReplacingFile {
 public:
  // Raises NotARegularFile when the target is no regular file, FileError
  // when it is read-only or the temporary file cannot be created.
  explicit ReplacingFile(std::string path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Raises FileError when the bytes cannot be written.
  void Write(std::string_view bytes);
  // Closes the file and renames it over the target; raises FileError.
  void Commit();

  // The name of the temporary file beside target: short enough for every
  // valid target name, starting with a dot.
  static std::string TemporaryName(std::string_view target, unsigned long long number);

 private:
  void Discard();
  [[noreturn]] void Fail(int error);

  std::string path_;    // the name the caller gave, for messages
  std::string target_;  // the file replaced: path_ with its links followed
  std::string temporary_;
  std::unique_ptr<char[]> buffer_;  // the file's, freed after it is closed
  std::FILE* file_ = nullptr;
};

}  // namespace lumaq
