// Packed decimal numbers and angles as they arrive in binary frames: any
// bytes unpack to a number text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "rawdata/String_func.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, size);
  const std::string number = UnpackBcdNumber(bytes);
  const std::string angle = UnpackBcdAngle(bytes);
  // Two digit positions a byte (a nibble over 9 is written as its two-digit
  // value), a point, a sign and leading zeros at most.
  FUZZ_CHECK(number.size() <= 4 * size + 6);
  FUZZ_CHECK(angle.size() <= 4 * size + 6);
  return 0;
}
