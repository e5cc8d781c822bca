// The body of one measurement frame kind (LUMAQ_FRAME_HEADER) turned into
// text lines, as a receive does with every such frame it accepts.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "FuzzCheck.h"
#include "rawdata/MeasurementFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  constexpr unsigned char header = LUMAQ_FRAME_HEADER;
  const std::string_view body = fuzz::Bytes(data, size);
  JobText text;
  try {
    FUZZ_CHECK(AppendMeasurementFrameText(header, body, text));
  } catch (const std::invalid_argument&) {
    // Only the binary block refuses a body, and only one that is too short.
    FUZZ_CHECK(header == kFrameStationBlock && size < 49);
    FUZZ_CHECK(text.empty());
    return 0;
  }
  FUZZ_CHECK(!text.empty());
  FUZZ_CHECK(text.front() == std::string(60, '-'));
  FUZZ_CHECK(text.size() == (header == kFrameStationBlock ? 7u : 2u));
  return 0;
}
