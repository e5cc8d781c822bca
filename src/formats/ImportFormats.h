// Reading the exchange files of other programs into record lines: the
// readers of GTS points, SCS2002, SV300, CASS and CSV, and the import of a
// file with the reader of its format (ExchangeFormats.h). Plain functions on
// the file's lines, shared by the import command and lumaq-cli.
#pragma once

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "formats/ExchangeFormat.h"
#include "formats/RecordImport.h"
#include "records/TextLines.h"

namespace lumaq {

inline constexpr const char* kImportTitle = "导入";
inline constexpr const char* kFormatMismatchMessage = "数据格式不符，无法导入！";
inline constexpr const char* kImportErrorMessage = "导入错误！";

// An SCS2002 file whose count line, line count or end line does not fit.
class RejectedImportFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A line the reader cannot take apart (an SV300 line without a comma).
class ImportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One file line as a record line, for the formats with a record a line. An
// SV300 line without a comma raises ImportError.
std::string ImportGtsPointsLine(std::string_view line);
std::string ImportSv300Line(std::string_view line);
std::string ImportCassLine(std::string_view line);
std::string ImportCsvLine(std::string_view line);

// The SCS2002 reader: a count line, five lines per point (name, code, N, E,
// Z) and an end line "E". Coordinates are written with three decimals, those
// outside -1000000..10000000 as 0.000. A file fits when its count line gives
// the number of its points and its last line is "E".
std::string ImportScs2002Record(std::span<const std::string> lines);
bool Scs2002FileFits(std::span<const std::string> header, std::span<const std::string> trailer,
                     std::size_t fileLineCount);
inline constexpr RecordReader kScs2002Reader{.record = ImportScs2002Record,
                                             .fits = Scs2002FileFits,
                                             .headerLines = 1,
                                             .linesPerRecord = 5,
                                             .trailerLines = 1};

// The record lines of an SCS2002 file's lines. Raises RejectedImportFile
// when the file does not have the format's shape.
JobText ImportScs2002(const JobText& fileLines);

// The job text an import makes of a file's lines, at most 15999 record lines
// (the first 15998 and the last).
JobText ImportRecordLines(const ExchangeFormat& format, JobText fileLines,
                          const ExchangeOptions& options = {});

// Imports the file at path, reading it in bounded memory: only the lines
// kept are held. Raises RejectedImportFile for a file that does not fit the
// format or holds a NUL byte, ImportError for a line the reader cannot take
// apart, OversizedInput for a line over kMaxLineBytes and FileError when the
// file cannot be read.
ImportedRecords ImportFile(const ExchangeFormat& format, const std::string& path,
                           const ExchangeOptions& options = {});
// The same, each record line handed to sink as soon as it is made instead of
// held: returns how many records were left out. When it raises, sink may
// have taken records already.
std::size_t ImportFile(const ExchangeFormat& format, const std::string& path,
                       const ExchangeOptions& options, const RecordLineSink& sink);
// The same for a file's bytes.
ImportedRecords ImportBytes(const ExchangeFormat& format, std::string_view bytes,
                            const ExchangeOptions& options = {});

// A number written with exactly three decimals, rounded half away from zero
// on its 15 significant digits ("0.000" format: 12.3 gives 12.300).
std::string FormatFixed3(double value);

}  // namespace lumaq
