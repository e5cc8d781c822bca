// The lines of a file read one at a time in bounded memory: a LineReader over
// the open file, with the program's words for a file that cannot be read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "records/JobFiles.h"
#include "records/LineReader.h"

namespace lumaq {

class FileLineReader {
 public:
  // Raises FileError when the file cannot be opened. maxBytes: a longer file
  // is refused with OversizedInput, as ReadFileBytes refuses it (a regular
  // file by its size, before its bytes are read).
  explicit FileLineReader(const std::string& path, std::uintmax_t maxBytes = UINTMAX_MAX);
  FileLineReader(const FileLineReader&) = delete;
  FileLineReader& operator=(const FileLineReader&) = delete;

  // As LineReader::Next; raises FileError when the file cannot be read.
  bool Next(std::string& line) { return lines_.Next(line); }
  bool SawNul() const { return lines_.SawNul(); }

 private:
  std::size_t Read(char* buffer, std::size_t size);

  std::string path_;
  std::uintmax_t maxBytes_;
  std::uintmax_t bytesRead_ = 0;
  FileHandle file_;
  LineReader lines_;
};

}  // namespace lumaq
