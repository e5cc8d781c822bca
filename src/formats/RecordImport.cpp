#include "formats/RecordImport.h"

#include <utility>

#include "formats/ImportFormats.h"
#include "records/RecordTable.h"

namespace lumaq {
namespace {

// The records kept first; the last record of the file makes up the limit.
constexpr auto kHeadRecords = static_cast<std::size_t>(kMaxRecords - 1);

}  // namespace

RecordImport::RecordImport(const RecordReader& reader, RecordLineSink sink)
    : reader_(reader), sink_(std::move(sink)), record_(reader.linesPerRecord) {}

void RecordImport::Take(std::string& line) {
  ++lineCount_;
  if (header_.size() < reader_.headerLines) {
    header_.push_back(std::move(line));
    return;
  }
  if (reader_.trailerLines == 0) {
    TakeRecordLine(line);
    return;
  }
  // A line is known to belong to a record once the trailer's lines follow it.
  trailer_.push_back(std::move(line));
  if (trailer_.size() <= reader_.trailerLines) return;
  std::string recordLine = std::move(trailer_.front());
  trailer_.erase(trailer_.begin());
  TakeRecordLine(recordLine);
}

void RecordImport::TakeRecordLine(std::string& line) {
  std::swap(record_[recordFill_++], line);
  if (recordFill_ < record_.size()) return;
  recordFill_ = 0;
  ++recordCount_;
  const std::size_t firstLine = reader_.headerLines + (recordCount_ - 1) * record_.size() + 1;
  if (recordCount_ <= kHeadRecords) {
    Convert(record_, firstLine);
  } else {
    std::swap(last_, record_);
    if (record_.size() != last_.size()) record_.resize(last_.size());
    lastFirstLine_ = firstLine;
  }
}

void RecordImport::Convert(std::vector<std::string>& lines, std::size_t firstLine) {
  if (error_) return;
  try {
    sink_(reader_.line != nullptr ? reader_.line(lines.front()) : reader_.record(lines));
  } catch (const ImportError& error) {
    error_ = "第 " + std::to_string(firstLine) + " 行：" + error.what();
  }
}

std::size_t RecordImport::Finish(bool sawNul) {
  const bool fits = reader_.fits == nullptr || reader_.fits(header_, trailer_, lineCount_);
  if (sawNul || !fits) throw RejectedImportFile(kFormatMismatchMessage);
  if (recordCount_ > kHeadRecords) Convert(last_, lastFirstLine_);
  if (error_) throw ImportError(*error_);
  return recordCount_ > kHeadRecords + 1 ? recordCount_ - kHeadRecords - 1 : 0;
}

}  // namespace lumaq
