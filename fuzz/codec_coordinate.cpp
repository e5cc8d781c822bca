// Coordinates both ways: a number text packed for a binary frame (and back),
// a record line formatted for a text frame, and frame bodies decoded into
// record lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "rawdata/String_func.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, size);

  std::array<char, 5> packed{};
  try {
    const std::string digits = FormatDigitField(bytes);
    FUZZ_CHECK(digits.size() == 10);
    PackBcdNumber(bytes, packed);
    // What is packed unpacks to the value the digits stand for.
    const std::string back = UnpackBcdNumber(std::string_view(packed.data(), packed.size()));
    std::string plain = digits;
    std::erase(plain, '-');
    const double value = std::strtod(plain.c_str(), nullptr) / 1000.0;
    const double sign = digits.find('-') != std::string::npos ? -1.0 : 1.0;
    FUZZ_CHECK(std::strtod(back.c_str(), nullptr) == sign * value);
  } catch (const CoordinatePackError&) {
  }

  std::vector<char> body(50, '\x55');
  try {
    EncodeBinaryCoordinateRecord(bytes, body);
  } catch (const CoordinatePackError&) {
  }
  FormatTextCoordinateRecord(bytes, body);
  FUZZ_CHECK(body[49] == '\0');
  FUZZ_CHECK(FormatTextCoordinateRecord(bytes).size() == 49);

  if (size >= 31) static_cast<void>(DecodeBinaryCoordinateRecord(bytes));
  static_cast<void>(DecodeTextCoordinateRecord(bytes));
  return 0;
}
