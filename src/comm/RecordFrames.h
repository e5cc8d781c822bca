// A coordinate record in the frames the program sends it in, at the
// instrument's request. The program's send, the simulated instrument and the
// tests build these frames here; the instrument reads the record back with
// DecodeBinaryCoordinateRecord and DecodeTextCoordinateColumns.
#pragma once

#include <string>
#include <string_view>

namespace lumaq {

// The binary frame (kBinaryRecordFrameSize bytes) of a record line: the line
// in upper case, packed by EncodeBinaryCoordinateRecord; byte 31, which no
// field covers, 0. Raises CoordinatePackError for a coordinate the frame
// cannot carry.
std::string BinaryRecordFrame(std::string_view line);
// The text frame (kTextRecordFrameSize bytes): the line as it is, in the
// columns of FormatTextCoordinateRecord.
std::string TextRecordFrame(std::string_view line);

// Upper case as the ANSI code page has it: ASCII letters change, the two
// bytes of a GB2312 character stay as they are.
std::string AnsiUpperCase(std::string_view text);

}  // namespace lumaq
