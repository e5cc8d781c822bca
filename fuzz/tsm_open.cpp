// The bytes of a measurement data file opened as Open does: accepted or not,
// and the text of every record of an accepted one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "rawdata/RawRecord.h"
#include "records/JobFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string bytes(fuzz::Bytes(data, size));
  RawUnitState state;
  const TsmContent content = OpenTsmBytes(state, bytes);
  FUZZ_CHECK(content.accepted == IsAcceptedTsm(bytes));
  if (content.accepted) {
    // The raw records are kept byte for byte.
    FUZZ_CHECK(content.RawRecordBuffer == bytes);
    // At most two lines (a unit record) per record, and one more for every
    // line break in a name or code.
    const auto breaks = static_cast<std::size_t>(
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }));
    FUZZ_CHECK(content.JobText.size() <= 2 * (size / kRawRecordSize) + breaks);
  } else {
    FUZZ_CHECK(content.RawRecordBuffer.empty() && content.JobText.empty());
  }
  return 0;
}
