// A file written piece by piece that replaces its target only when complete:
// the bytes go to a temporary file beside the target, renamed over it by
// Commit. A failure, or leaving without Commit, removes the temporary file and
// leaves the target as it was.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lumaq {

class ReplacingFile {
 public:
  // Raises FileError when the temporary file cannot be created.
  explicit ReplacingFile(std::string path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Raises FileError when the bytes cannot be written.
  void Write(std::string_view bytes);
  // Closes the file and renames it over the target; raises FileError.
  void Commit();

 private:
  void Discard();
  [[noreturn]] void Fail(int error);

  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
};

}  // namespace lumaq
