// The text lines made from the measurement frames the instrument sends in
// place of coordinate records: a binary station and observation block (header
// 0xAF) and four text observation frames (headers 0xA0 to 0xA3). Every frame's
// text starts with a line of 60 hyphens. The labels are GB2312 bytes, like the
// rest of the job text.
#pragma once

#include <cstddef>
#include <string_view>

#include "records/TextLines.h"

namespace lumaq {

enum MeasurementFrameHeader : unsigned char {
  kFrameCoordinateObservation = 0xA0,  // body 56 bytes of text
  kFrameSlopeDistance = 0xA1,          // body 47 bytes of text
  kFrameAngles = 0xA2,                 // body 39 bytes of text
  kFrameStation = 0xA3,                // body 56 bytes of text
  kFrameStationBlock = 0xAF,           // body 51 bytes, binary
};

// The body length of a measurement frame, or 0 for any other header.
std::size_t MeasurementFrameBodySize(unsigned char header);

// Appends the lines of one frame's body to text and returns true; returns
// false, adding nothing, for a header that is no measurement frame.
//
// 0xAF gives seven lines: the separator, point name, code, the angles with the
// slope distance, the station coordinates, the instrument height and the prism
// height (std::invalid_argument when the body is shorter than 49 bytes).
// The text frames give the separator and one line of their fields, each cut
// from its columns and trimmed; the text ends at the body's first zero byte,
// so a column range that starts after it gives an empty field.
bool AppendMeasurementFrameText(unsigned char header, std::string_view body, JobText& text);

}  // namespace lumaq
