// An import followed line by line: the file's lines go in one at a time, the
// record lines it keeps come out as they are made, so that a long file is
// never held whole. What it keeps: the first 15998 records and the last.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/ExchangeFormat.h"

namespace lumaq {

using RecordLineSink = std::function<void(std::string recordLine)>;

class RecordImport {
 public:
  RecordImport(const RecordReader& reader, RecordLineSink sink);

  // The file's next line; its bytes may be taken (line is left empty).
  void Take(std::string& line);

  // After the last line: hands on the last record and returns how many
  // records of the file were left out. Raises, in this order,
  // RejectedImportFile for a file that held a NUL byte (sawNul) or does not
  // fit the format's shape, then ImportError for the first kept line the
  // reader could not take apart ("第 N 行：" and the reader's words). A line
  // after that one is no longer converted.
  std::size_t Finish(bool sawNul);

 private:
  void TakeRecordLine(std::string& line);
  void Convert(std::vector<std::string>& lines, std::size_t firstLine);

  const RecordReader& reader_;
  RecordLineSink sink_;
  std::size_t lineCount_ = 0;
  std::size_t recordCount_ = 0;
  std::vector<std::string> header_;
  std::vector<std::string> trailer_;  // the last lines, until more come
  std::vector<std::string> record_;   // the lines of the record being read
  std::size_t recordFill_ = 0;
  std::vector<std::string> last_;  // the last record past those kept first
  std::size_t lastFirstLine_ = 0;
  std::optional<std::string> error_;
};

}  // namespace lumaq
