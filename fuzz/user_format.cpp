// The user's export layout read from a settings file's lines; a layout read
// and written back reads the same.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "formats/UserFormat.h"
#include "records/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const JobText lines = SplitTextLines(fuzz::Bytes(data, size));
  const auto format = ParseUserFormat(lines);
  if (!format) return 0;
  // The dialog types no control bytes; a layout that holds some (from a
  // damaged file) is read as it is, but not compared after its way back.
  for (const std::string* text : {&format->name, &format->extension}) {
    for (const char c : *text) {
      if (static_cast<unsigned char>(c) < 0x20) return 0;
    }
  }
  // Nor is an extension cut to its first three bytes that ends in a blank:
  // the next read trims the blank from the end of its line.
  if (!format->extension.empty() && format->extension.back() == ' ') return 0;
  const auto again = ParseUserFormat(RewriteUserFormatLines(lines, *format));
  FUZZ_CHECK(again && *again == *format);
  return 0;
}
