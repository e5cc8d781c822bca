// lumaq-cli's conversions, file to file: Import followed by Save as a record
// file, and Open of a record file followed by Export. Each takes the steps of
// the window's commands (ImportFile, RecordTable's way from lines to rows and
// back, the format's writer) one record at a time, so that a file of any
// length is converted in bounded memory; what it writes replaces its target
// only once complete, and a fault of the input is reported before a failure
// to write, as when the input is read whole before anything is written.
#pragma once

#include <cstddef>
#include <string>

#include "app/ConversionOutput.h"
#include "formats/ExchangeFormat.h"

namespace lumaq {

// Import of a file, then Save of its records as a record file.
class RecordFileImport {
 public:
  // Reads and converts in, raising as ImportFile does; the record lines wait
  // beside out.
  RecordFileImport(const ExchangeFormat& format, const std::string& in,
                   const ExchangeOptions& options, const std::string& out);

  std::size_t RecordsLeftOut() const { return leftOut_; }

  // Replaces out; raises FileError when it cannot be written.
  void Commit();

 private:
  ConversionOutput output_;
  std::size_t leftOut_ = 0;
};

// Open of a record file, then Export of its records.
class RecordFileExport {
 public:
  // Reads in as Open does, raising as it does, to count what it gives.
  explicit RecordFileExport(std::string in);

  // The lines past the first 15999, which Open leaves out.
  std::size_t LinesLeftOut() const { return leftOut_; }

  // Reads in again and replaces out with its records in format. Raises
  // FileError when out cannot be written, or when in no longer gives the
  // records it gave before.
  void WriteTo(const ExchangeFormat& format, const ExchangeOptions& options,
               const std::string& out) const;

 private:
  // A format a library writes, as the files it makes.
  void WriteFilesTo(const ExchangeFormat& format, const ExchangeOptions& options,
                    const std::string& out) const;

  std::string in_;
  std::size_t records_ = 0;
  std::size_t leftOut_ = 0;
};

}  // namespace lumaq
