// Text typed or pasted into a cell of each column (the first byte picks the
// column), then the check made when the cell is left. A cell the check has
// rewritten passes the check unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "records/CellInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  if (size == 0) return 0;
  const int column = data[0] % 5;
  const std::string_view text = fuzz::Bytes(data + 1, size - 1);

  const std::string typed = FilterTypedText(column, text);
  for (const char c : typed) FUZZ_CHECK(AcceptTypedChar(column, c));

  for (const std::string_view cell : {text, std::string_view(typed)}) {
    const LeaveCellResult result = CheckLeavingCell(column, cell);
    if (result.refused || !result.text) continue;
    const LeaveCellResult again = CheckLeavingCell(column, *result.text);
    FUZZ_CHECK(!again.refused);
    FUZZ_CHECK(!again.text || *again.text == *result.text);
  }
  static_cast<void>(FormatGeneralNumber(LeadingNumber(text)));
  return 0;
}
