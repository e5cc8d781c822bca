// Reading the lines of a file one at a time, in bounded memory: the same line
// rules as SplitTextLines, a line over kMaxLineBytes refused, and of a long
// file only the lines a caller keeps.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/TextLines.h"

namespace lumaq {

class LineReader {
 public:
  // Puts up to size bytes into buffer and returns how many; 0 at the end.
  using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

  // where names the input in an error ("\"JOB.BDT\""); bufferSize: the most
  // the source is asked for at once.
  LineReader(Source source, std::string where, std::size_t bufferSize = std::size_t{1} << 16);
  // The lines of bytes held in memory.
  LineReader(std::string_view bytes, std::string where);

  // The next line without its line break; false at the end. Raises
  // OversizedInput for a line longer than kMaxLineBytes.
  bool Next(std::string& line);

  // True once a line read so far held a NUL byte.
  bool SawNul() const { return sawNul_; }

 private:
  bool Refill();

  Source source_;
  std::string where_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  std::size_t lineNumber_ = 0;
  bool sawNul_ = false;
};

// The lines kept of a long input: the first headCount lines, then the last
// tailCount lines of the rest (every line when there are no more than
// headCount + tailCount), the number of lines in all and whether any held a
// NUL byte.
struct CappedLines {
  JobText lines;
  std::size_t total = 0;
  bool hasNul = false;
};

CappedLines ReadCappedLines(LineReader& reader, std::size_t headCount, std::size_t tailCount);

}  // namespace lumaq
