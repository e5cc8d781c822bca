#include "records/RecordFileReader.h"

#include "records/InputLimits.h"
#include "records/RecordTable.h"

namespace lumaq {

RecordFileReader::RecordFileReader(const std::string& path) : lines_(path, kMaxFileBytes) {}

bool RecordFileReader::Next(std::string& recordLine) {
  while (linesRead_ < static_cast<std::size_t>(kMaxRecords) && lines_.Next(line_)) {
    ++linesRead_;
    const TableRow row = TableRowOfLine(line_);
    if (!IsRecordRow(row)) continue;
    recordLine = RecordLineOfRow(row);
    return true;
  }
  return false;
}

std::size_t RecordFileReader::CountLinesLeftOut() {
  while (linesRead_ < static_cast<std::size_t>(kMaxRecords) && lines_.Next(line_)) ++linesRead_;
  std::size_t leftOut = 0;
  while (lines_.Next(line_)) ++leftOut;
  return leftOut;
}

}  // namespace lumaq
