#include "app/FileConversions.h"

#include <string_view>
#include <utility>

#include "formats/ExportFormats.h"
#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordFileReader.h"

namespace lumaq {

RecordFileImport::RecordFileImport(const ExchangeFormat& format, const std::string& in,
                                   const ExchangeOptions& options, const std::string& out)
    : output_(out) {
  // Each record line as Save writes it, followed by CR LF.
  leftOut_ = ImportFile(format, in, options, [this](std::string recordLine) {
    output_.Write(recordLine);
    output_.Write("\r\n");
  });
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

}  // namespace lumaq
