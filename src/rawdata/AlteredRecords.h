// Records that a send would change: a point name or code holding characters
// the instrument's character code has no code for (a Chinese character, a
// control byte). A binary coordinate frame carries each such byte as "#"; a
// text frame carries the bytes as they are, but which of the two the
// instrument asks for is known only once the send has begun, so the user is
// told before.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/TextLines.h"

namespace lumaq {

// How many of the first altered records a warning names.
inline constexpr std::size_t kAlteredRecordsNamed = 5;

struct AlteredRecords {
  std::size_t count = 0;
  // The point names of the first kAlteredRecordsNamed, as the job holds them
  // (code-page bytes).
  std::vector<std::string> firstNames;
};

// The records of lines (record lines) whose name or code a binary frame
// cannot carry as they are.
AlteredRecords FindAlteredRecords(const JobText& lines);

// The warning, in the program's words, naming the first records; shownName
// turns a point name's code-page bytes into the text's own encoding.
std::string AlteredRecordsText(const AlteredRecords& altered,
                               const std::function<std::string(std::string_view)>& shownName);

}  // namespace lumaq
