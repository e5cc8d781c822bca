// Raw records of any type byte and body turned into measurement text one by
// one with the unit state they leave, as a receive converts each raw frame.
// The input is cut into pieces of 42 bytes; a shorter last piece is given as
// it is (a record of the wrong size adds nothing).
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "rawdata/RawRecord.h"
#include "records/JobDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, size);
  RawUnitState state;
  JobText text;
  for (std::size_t offset = 0; offset < bytes.size(); offset += kRawRecordSize) {
    const std::string_view record = bytes.substr(offset, kRawRecordSize);
    const std::size_t before = text.size();
    ConvertRawRecord(state, record, text);
    // One line, two for a unit record; a line break in a name or code starts
    // another, as it does in the text view.
    const auto breaks = static_cast<std::size_t>(
        std::count_if(record.begin(), record.end(), [](char c) { return c == '\r' || c == '\n'; }));
    FUZZ_CHECK(text.size() - before <= 2 + breaks);
    if (record.size() != kRawRecordSize) FUZZ_CHECK(text.size() == before);
  }
  return 0;
}
