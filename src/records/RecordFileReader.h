// Open of a record file followed one record at a time, without a table: the
// record lines that the job text holds once Open has filled the table from
// the file's first 15999 lines and the table is compacted again
// (RecordTable::FillTableFromJobText, then BuildJobTextFromTable), made line
// by line in bounded memory.
#pragma once

#include <cstddef>
#include <string>

#include "records/FileLineReader.h"

namespace lumaq {

class RecordFileReader {
 public:
  // Raises FileError when the file cannot be opened, OversizedInput for a
  // file that Open refuses for its size.
  explicit RecordFileReader(const std::string& path);

  // The next record line; false after the last. Raises FileError, and
  // OversizedInput for a line over kMaxLineBytes.
  bool Next(std::string& recordLine);

  // The lines past the first 15999, which Open leaves out: reads the rest of
  // the file, whose lines are checked as Open checks them.
  std::size_t CountLinesLeftOut();

 private:
  FileLineReader lines_;
  std::string line_;
  std::size_t linesRead_ = 0;
};

}  // namespace lumaq
