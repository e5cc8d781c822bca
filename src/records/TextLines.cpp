#include "records/TextLines.h"

#include <cstddef>

namespace lumaq {

JobText SplitTextLines(std::string_view text) {
  JobText lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.emplace_back(text.substr(start, i - start));
    const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    i += crlf ? 2 : 1;
    start = i;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLinesCrLf(const JobText& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const auto& line : lines) {
    bytes.append(line);
    bytes.append("\r\n");
  }
  return bytes;
}

}  // namespace lumaq
