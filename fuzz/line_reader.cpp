// A file's bytes read line by line in chunks of any size (the first byte sets
// them), as imports read a file: the lines are those SplitTextLines finds in
// the whole, also where a CR LF is cut between two chunks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "records/InputLimits.h"
#include "records/LineReader.h"
#include "records/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  if (size == 0) return 0;
  const std::size_t chunk = 1 + data[0] % 16;
  std::string_view rest = fuzz::Bytes(data + 1, size - 1);
  const std::string_view whole = rest;
  LineReader reader(
      [&](char* buffer, std::size_t room) {
        const std::size_t n = std::min({room, chunk, rest.size()});
        std::memcpy(buffer, rest.data(), n);
        rest.remove_prefix(n);
        return n;
      },
      "\"fuzz\"", chunk);
  JobText lines;
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  FUZZ_CHECK(lines == SplitTextLines(whole));
  FUZZ_CHECK(reader.SawNul() == (whole.find('\0') != std::string_view::npos));

  // Kept: the first two lines and the last one, and the count of all.
  LineReader again(whole, "\"fuzz\"");
  const CappedLines capped = ReadCappedLines(again, 2, 1);
  FUZZ_CHECK(capped.total == lines.size());
  if (lines.size() <= 3) {
    FUZZ_CHECK(capped.lines == lines);
  } else {
    FUZZ_CHECK((capped.lines == JobText{lines[0], lines[1], lines.back()}));
  }
  return 0;
}
