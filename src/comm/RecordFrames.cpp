#include "comm/RecordFrames.h"

#include <cstddef>
#include <numeric>

#include "comm/FrameHeaders.h"
#include "rawdata/String_func.h"

namespace lumaq {

static_assert(std::accumulate(kTextRecordColumns.begin(), kTextRecordColumns.end(),
                              std::size_t{0}) == kTextRecordFrameSize);

std::string BinaryRecordFrame(std::string_view line) {
  std::string frame(kBinaryRecordFrameSize, '\0');
  EncodeBinaryCoordinateRecord(AnsiUpperCase(line), frame);
  return frame;
}

std::string TextRecordFrame(std::string_view line) {
  return FormatTextCoordinateRecord(line);
}

std::string AnsiUpperCase(std::string_view text) {
  std::string upper(text);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    const auto byte = static_cast<unsigned char>(upper[i]);
    if (byte >= 0x81 && byte <= 0xFE) {
      ++i;  // a lead byte: its trail byte is no letter
    } else if (byte >= 'a' && byte <= 'z') {
      upper[i] = static_cast<char>(byte - 'a' + 'A');
    }
  }
  return upper;
}

}  // namespace lumaq
