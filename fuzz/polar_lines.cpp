// The polar lines of raw records, written as they are made, as the polar
// export writes them to its file. The first byte sets the unit state.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "rawdata/PolarLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  if (size == 0) return 0;
  RawUnitState state;
  state.SwapBytes = (data[0] & 1) != 0;
  state.DistanceInFeet = (data[0] & 2) != 0;
  state.UsSurveyFoot = (data[0] & 4) != 0;
  state.AngleUnit = (data[0] >> 3) % 3;
  std::size_t lines = 0;
  bool previousEmpty = true;
  WritePolarLines(state, fuzz::Bytes(data + 1, size - 1), [&](std::string_view line) {
    // An empty line only ever separates two groups.
    FUZZ_CHECK(!(line.empty() && previousEmpty));
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos || !line.empty());
    previousEmpty = line.empty();
    ++lines;
  });
  FUZZ_CHECK(lines == 0 || !previousEmpty);
  return 0;
}
