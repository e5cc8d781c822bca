// Writing the records of a job in the exchange formats of other programs: the
// writers of GTS points, SCS2002, SV300, CASS, CSV, DXF and the user's own
// layout, and the export of a job with the writer of its format
// (ExchangeFormats.h). Fields are written exactly as the record lines hold
// them. Plain functions, shared by the export command and lumaq-cli.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/ExchangeFormat.h"
#include "formats/UserFormat.h"
#include "rawdata/RawUnitState.h"
#include "records/RecordLine.h"
#include "records/TextLines.h"

namespace lumaq {

inline constexpr const char* kExportTitle = "导出为";

// Record k of count in each format (RecordWriter::record).
std::string GtsPointsRecord(std::size_t k, std::size_t count, const RecordFields& r,
                            const ExchangeOptions& options);
// The count line before the first record; the end line "E", without a line
// break, after the last.
std::string Scs2002Record(std::size_t k, std::size_t count, const RecordFields& r,
                          const ExchangeOptions& options);
std::string Sv300Record(std::size_t k, std::size_t count, const RecordFields& r,
                        const ExchangeOptions& options);
std::string CassRecord(std::size_t k, std::size_t count, const RecordFields& r,
                       const ExchangeOptions& options);
std::string CsvRecord(std::size_t k, std::size_t count, const RecordFields& r,
                      const ExchangeOptions& options);
// A point and its label, between kDxfHead and kDxfTail.
std::string DxfRecord(std::size_t k, std::size_t count, const RecordFields& r,
                      const ExchangeOptions& options);
inline constexpr std::string_view kDxfHead = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
inline constexpr std::string_view kDxfTail = "0\r\nENDSEC\r\n0\r\nEOF";
// The line of record k in the layout options.user.
std::string UserLayoutRecord(std::size_t k, std::size_t count, const RecordFields& r,
                             const ExchangeOptions& options);

// The line of record k in the user's layout.
std::string UserFormatRecord(std::size_t k, const RecordFields& r, const UserFormat& user);

// The polar-coordinate lines of raw records, each followed by CR LF
// (WritePolarLines).
void PolarRecords(const RawUnitState& units, std::string_view rawRecords, const ByteSink& sink);

// The export of records that come one at a time, count of them: the
// writer's head at once, then each record as it comes, then the tail.
class RecordsExport {
 public:
  RecordsExport(const ExchangeFormat& format, ExchangeOptions options, std::size_t count,
                ByteSink sink);
  // Record k of count, for k = 1, 2, ...
  void Add(std::string_view recordLine);
  std::size_t Added() const { return written_; }
  void Finish();

 private:
  RecordWriter writer_;
  ExchangeOptions options_;
  std::size_t count_;
  ByteSink sink_;
  std::size_t written_ = 0;
};

// Hands the whole text of the job's records in a format that takes coordinate
// records to sink, record by record.
void WriteRecords(const JobText& recordLines, const ExchangeFormat& format,
                  const ExchangeOptions& options, const ByteSink& sink);

// Writes the records to path: streamed into a temporary file that replaces
// path only once complete. Raises FileError; path is then left as it was.
void ExportRecordsToFile(const JobText& recordLines, const ExchangeFormat& format,
                         const ExchangeOptions& options, const std::string& path);

}  // namespace lumaq
