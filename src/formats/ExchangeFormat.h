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
// writer: the user's layout for the user-defined format; the job's
// coordinate reference system and a layer for the GIS formats (usesCrs).
struct ExchangeOptions {
  UserFormat user = FallbackUserFormat();
  std::string crs = {};  // the job's system, "EPSG:4547"
  std::string layer =
      {};  // import: the layer read (empty: the first point layer); export: its name
};

using ByteSink = std::function<void(std::string_view bytes)>;
// One file of an export that makes several: the suffix it adds to the
// output's stem (".dbf"), or "" for the output itself, and its bytes.
using FileSink = std::function<void(std::string_view suffix, std::string_view bytes)>;

// What an import reads from a file: at most 15999 record lines, and how many
// records of the file were left out by that limit.
struct ImportedRecords {
  JobText records;
  std::size_t leftOut = 0;
};

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
  // A format a library reads: the file at path, opened by that library.
  ImportedRecords (*path)(const std::string& path, const ExchangeOptions& options) = nullptr;
};

// How an export writes coordinate records: head, then record k of count for
// k = 1..count, then tail.
struct RecordWriter {
  std::string_view head = {};
  std::string (*record)(std::size_t k, std::size_t count, const RecordFields& fields,
                        const ExchangeOptions& options) = nullptr;
  std::string_view tail = {};
  // A format a library writes: all records at once, as the files it makes.
  void (*files)(const JobText& recordLines, const ExchangeOptions& options,
                const FileSink& sink) = nullptr;
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
  bool usesCrs = false;           // its reader and writer read ExchangeOptions::crs
  // Whether the first bytes of a file look like this format, for telling a
  // file's format by its content; none: it cannot be told.
  bool (*looksLike)(std::string_view firstBytes) = nullptr;

  bool Reads() const {
    return reader.line != nullptr || reader.record != nullptr || reader.path != nullptr;
  }
  bool Writes() const {
    return writer.record != nullptr || writer.files != nullptr || rawWriter != nullptr;
  }
};

}  // namespace lumaq
