// One exchange format of the registry (ExchangeFormats.h): its names, what it
// reads into record lines and what it writes of a job.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "formats/UserFormat.h"
#include "rawdata/RawUnitState.h"
#include "records/RecordLine.h"
#include "records/TextLines.h"

namespace lumaq {

// What a format's writer takes of a job; readers make record lines.
enum class RecordKind { kCoordinateRecords, kRawRecords };

// What a format may need besides the records, handed to its reader and
// writer: the user's layout for the user-defined format. A format that needs
// more (a coordinate reference system) adds it here and says so in its entry.
struct ExchangeOptions {
  UserFormat user = FallbackUserFormat();
};

using ByteSink = std::function<void(std::string_view bytes)>;

// How an import takes a file apart, one line or one record at a time. A
// format with a record a line gives line; one whose records span lines gives
// record and the shape of its files: the lines before and after its records
// and fits, which checks them. The shape also says what an import keeps of a
// long file: the first records and the last.
struct RecordReader {
  // One file line as a record line.
  std::string (*line)(std::string_view line) = nullptr;
  // One record's linesPerRecord lines as a record line.
  std::string (*record)(std::span<const std::string> lines) = nullptr;
  // Whether a file has the format's shape, given its first headerLines and
  // last trailerLines lines (as many as it has) and the number of its lines;
  // none: every file has. A file without it is rejected.
  bool (*fits)(std::span<const std::string> header, std::span<const std::string> trailer,
               std::size_t fileLineCount) = nullptr;
  std::size_t headerLines = 0;
  std::size_t linesPerRecord = 1;
  std::size_t trailerLines = 0;
};

// How an export writes coordinate records: head, then record k of count for
// k = 1..count, then tail.
struct RecordWriter {
  std::string_view head = {};
  std::string (*record)(std::size_t k, std::size_t count, const RecordFields& fields,
                        const ExchangeOptions& options) = nullptr;
  std::string_view tail = {};
};

// How an export writes raw records (42 bytes each), read with the unit state.
using RawWriter = void (*)(const RawUnitState& units, std::string_view rawRecords,
                           const ByteSink& sink);

struct ExchangeFormat {
  std::string_view name = {};         // lumaq-cli's FORMAT
  std::string_view description = {};  // the file type in the window's dialogs
  std::string_view pattern = {};      // and its pattern, "*.pts"
  RecordKind takes = RecordKind::kCoordinateRecords;
  RecordReader reader = {};       // none: not imported
  RecordWriter writer = {};       // coordinate records; none: not exported
  RawWriter rawWriter = nullptr;  // raw records
  bool usesUserLayout = false;    // its writer reads ExchangeOptions::user
  // Whether the first bytes of a file look like this format, for telling a
  // file's format by its content; none: it cannot be told.
  bool (*looksLike)(std::string_view firstBytes) = nullptr;

  bool Reads() const { return reader.line != nullptr || reader.record != nullptr; }
  bool Writes() const { return writer.record != nullptr || rawWriter != nullptr; }
};

}  // namespace lumaq
