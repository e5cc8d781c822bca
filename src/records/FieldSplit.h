// Splitting the lines of exchange files (and the coordinate lines the
// instrument sends as text) into the five fields of a record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/RecordLine.h"

namespace lumaq {

// Fixed-width comma layouts.
enum class FixedLayout {
  kGtsPoints,               // name, E, N, Z, code; widths 8, 11, 11, 11, 8
  kSv300,                   // name, code, N, E, Z; widths 8, 8, 11, 11, 11
  kCass,                    // name, code, E, N, Z; widths 8, 8, 11, 11, 11
  kReceivedCoordinateLine,  // name, code, N, E, Z; widths 8, 8, 11, 11, 11
};

// The five fields of one line in a layout. Fields followed by a comma lose
// their blanks and are cut to their width; a coordinate position out of
// -1000000..10000000 becomes "0". The last field, with no comma after it,
// keeps its blanks and counts as missing when longer than its width; the
// layouts other than GTS points also range-test it (bounds excluded there).
// Missing names and codes are empty, missing coordinates "0". All fields are
// trimmed.
RecordFields SplitFixedFields(std::string_view line, FixedLayout layout);

// Comma-separated texts: double quotes enclose a text (a doubled quote stands
// for one); outside quotes a blank separates texts as a comma does; a comma
// at the end adds nothing. Two-byte characters are stepped over whole.
std::vector<std::string> SplitCommaText(std::string_view line);

// Reads the longest leading decimal number after leading blanks; a text
// without one reads as 0.
double ReadNumber(std::string_view text);

}  // namespace lumaq
