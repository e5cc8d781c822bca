// Frames and their bodies as the instrument builds them, for the transfer
// tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comm/FrameHeaders.h"
#include "comm/FramesFile.h"
#include "comm/RecordFrames.h"
#include "rawdata/String_func.h"
#include "records/TextLines.h"

namespace lumaq::test {

inline std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (const unsigned v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

// A text body of size bytes: the texts at their 1-based columns, blanks
// elsewhere.
inline std::string TextBody(std::size_t size,
                            std::initializer_list<std::pair<int, std::string>> fields) {
  std::string body(size, ' ');
  for (const auto& [column, text] : fields) {
    body.replace(static_cast<std::size_t>(column - 1), text.size(), text);
  }
  return body;
}

// n instrument character codes of text, 0xFF after it.
inline std::string InstrumentCodes(std::string_view text, std::size_t n = 8) {
  std::string codes(n, '\xFF');
  for (std::size_t i = 0; i < text.size() && i < n; ++i) {
    codes[i] = static_cast<char>(*InstrumentCharacterCode(text[i]));
  }
  return codes;
}

// A binary coordinate body: name and code in instrument codes, N, E and Z as
// five packed bytes each, byte 31 zero.
inline std::string BinaryCoordinateBody(std::string_view name, std::string_view code,
                                        const std::string& n, const std::string& e,
                                        const std::string& z) {
  return InstrumentCodes(name) + InstrumentCodes(code) + n + e + z + std::string(1, '\0');
}

// A text coordinate body: the text, zero bytes up to the body's length.
inline std::string TextCoordinateBody(std::string_view text) {
  std::string body(text);
  body.resize(FindFrameHeader(kTextCoordinateHeader)->bodySize, '\0');
  return body;
}

// The binary coordinate frame (0xAA) of a record line, as the program's send
// and the simulated instrument build it.
inline Frame BinaryCoordinateFrame(std::string_view line) {
  return {kBinaryCoordinateHeader, BinaryRecordFrame(line)};
}

inline std::vector<Frame> BinaryCoordinateFrames(const JobText& lines) {
  std::vector<Frame> frames;
  for (const std::string& line : lines) frames.push_back(BinaryCoordinateFrame(line));
  return frames;
}

// A measurement frame of text: the texts at their 1-based columns of a body
// as long as the header table says, blanks elsewhere.
inline Frame TextFrame(std::uint8_t header,
                       std::initializer_list<std::pair<int, std::string>> fields) {
  return {header, TextBody(FindFrameHeader(header)->bodySize, fields)};
}

// The body followed by its 8-bit sum, as it goes on the wire after 0xBB.
inline std::string WithChecksum(const std::string& body) {
  return body + static_cast<char>(FrameChecksum(body));
}

// A frame whose body bytes count up from first, as long as the header table
// says.
inline Frame CountingFrame(std::uint8_t header, int first) {
  std::string body(FindFrameHeader(header)->bodySize, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) {
    body[i] = static_cast<char>(first + static_cast<int>(i));
  }
  return {header, body};
}

}  // namespace lumaq::test
