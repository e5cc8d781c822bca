// Point names and codes through the instrument's character code, both ways.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "rawdata/String_func.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, size);
  // Codes as they arrive: any bytes decode, to no more characters than codes.
  const std::string decoded = DecodeInstrumentText(bytes);
  FUZZ_CHECK(decoded.size() <= bytes.size());

  // Text as it is sent: characters of the set survive the round trip (a
  // trailing blank is the fill and goes), anything else becomes "#".
  std::vector<char> buffer(std::min<std::size_t>(size, 16));
  EncodeInstrumentText(bytes, buffer);
  std::string expected;
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    const char c = bytes[i];
    expected += InstrumentCharacterCode(c) ? c : '#';
  }
  while (!expected.empty() && expected.back() == ' ') expected.pop_back();
  FUZZ_CHECK(DecodeInstrumentText(std::string_view(buffer.data(), buffer.size())) == expected);
  return 0;
}
