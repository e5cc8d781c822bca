// The job text: an ordered list of lines without their line breaks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumaq {

using JobText = std::vector<std::string>;

// Splits text into lines. A line ends at CR LF, at a lone CR or at a lone LF;
// a final line break does not start another line.
JobText SplitTextLines(std::string_view text);

// Joins lines into file bytes, every line followed by CR LF.
std::string JoinLinesCrLf(const JobText& lines);

}  // namespace lumaq
