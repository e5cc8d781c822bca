// A file's first bytes through the content checks of every import format, as
// the import warns and lumaq-cli import --detect picks: each check gives one
// answer, and a file is told about only when it does not fit the format
// chosen.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "formats/ContentChecks.h"
#include "formats/FormatDetection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, std::min(size, kContentCheckBytes));
  const FormatList imports = FormatsToImport();
  const FormatList fitting = FormatsItLooksLike(bytes, imports);
  // The binary formats are told by signatures no text format's line has.
  const bool binary = std::any_of(fitting.begin(), fitting.end(), [](const ExchangeFormat* f) {
    return f->name == "gpkg" || f->name == "shp";
  });
  FUZZ_CHECK(!binary || fitting.size() == 1);
  for (const ExchangeFormat* chosen : imports) {
    const FormatList others = OtherFormatsItLooksLike(*chosen, bytes, imports);
    const bool fits = std::find(fitting.begin(), fitting.end(), chosen) != fitting.end();
    FUZZ_CHECK(!fits || others.empty());
    FUZZ_CHECK(std::find(others.begin(), others.end(), chosen) == others.end());
    FUZZ_CHECK(fits || chosen->looksLike == nullptr || others == fitting);
  }
  return 0;
}
