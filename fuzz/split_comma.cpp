// One comma-separated line split into its texts, and the numbers read from
// them, as the CSV import does.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "records/FieldSplit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view line = fuzz::Bytes(data, size);
  std::size_t total = 0;
  for (const std::string& text : SplitCommaText(line)) {
    total += text.size();
    static_cast<void>(ReadNumber(text));
  }
  // The texts are taken from the line: together never longer than it.
  FUZZ_CHECK(total <= line.size());
  return 0;
}
