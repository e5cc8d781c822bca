// An exchange file read as Import reads it, by every format of the registry
// that imports: the file's lines, at most the record cap of them, into record
// lines.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "formats/ExchangeFormats.h"
#include "formats/ImportFormats.h"
#include "records/InputLimits.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  for (const ExchangeFormat* format : FormatsToImport()) {
    // A GIS format's file is read by GDAL, whose parsers are its own.
    if (format->reader.path != nullptr) continue;
    try {
      const ImportedRecords imported = ImportBytes(*format, fuzz::Bytes(data, size));
      FUZZ_CHECK(imported.records.size() <= static_cast<std::size_t>(kMaxRecords));
      for (const std::string& line : imported.records) {
        // A record line holds no line break and no NUL byte.
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
      }
    } catch (const RejectedImportFile&) {
    } catch (const ImportError&) {
    } catch (const OversizedInput&) {
    }
  }
  return 0;
}
