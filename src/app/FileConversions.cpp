#include "app/FileConversions.h"

#include <string_view>
#include <utility>

#include "formats/ExchangeFiles.h"
#include "formats/ExportFormats.h"
#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordFileReader.h"

namespace lumaq {

RecordFileImport::RecordFileImport(const ExchangeFormat& format, const std::string& in,
                                   const ExchangeOptions& options, const std::string& out)
    : output_(out) {
  // Each record line as Save writes it, followed by CR LF.
  const auto save = [this](std::string_view recordLine) {
    output_.Write(recordLine);
    output_.Write("\r\n");
  };
  if (format.reader.path == nullptr) {
    leftOut_ = ImportFile(format, in, options, save);
    return;
  }
  // A library's format reads its file itself, 15999 records at most.
  const ImportedRecords imported = ImportExchangeFile(format, in, options);
  for (const std::string& recordLine : imported.records) save(recordLine);
  leftOut_ = imported.leftOut;
}

void RecordFileImport::Commit() {
  output_.Commit();
}

RecordFileExport::RecordFileExport(std::string in) : in_(std::move(in)) {
  RecordFileReader file(in_);
  std::string recordLine;
  while (file.Next(recordLine)) ++records_;
  leftOut_ = file.CountLinesLeftOut();
}

void RecordFileExport::WriteTo(const ExchangeFormat& format, const ExchangeOptions& options,
                               const std::string& out) const {
  if (format.writer.files != nullptr) {
    WriteFilesTo(format, options, out);
    return;
  }
  ConversionOutput output(out);
  RecordFileReader file(in_);
  // The writer is told the count first (SCS2002 writes it before the records).
  RecordsExport records(format, options, records_,
                        [&output](std::string_view bytes) { output.Write(bytes); });
  std::string recordLine;
  while (records.Added() < records_ && file.Next(recordLine)) records.Add(recordLine);
  if (records.Added() != records_ || file.Next(recordLine)) {
    throw FileError("无法读取文件 \"" + in_ + "\"：文件在读取时被改动");
  }
  records.Finish();
  output.Commit();
}

void RecordFileExport::WriteFilesTo(const ExchangeFormat& format, const ExchangeOptions& options,
                                    const std::string& out) const {
  // A library's format takes the records at once: at most 15999 lines.
  JobText recordLines;
  recordLines.reserve(records_);
  RecordFileReader file(in_);
  std::string recordLine;
  while (file.Next(recordLine)) recordLines.push_back(recordLine);
  if (recordLines.size() != records_) {
    throw FileError("无法读取文件 \"" + in_ + "\"：文件在读取时被改动");
  }
  ExportExchangeFile(recordLines, format, options, out);
}

}  // namespace lumaq
