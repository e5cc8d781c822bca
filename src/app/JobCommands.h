// What the job commands do to the job and its record table without a window:
// Open of a record or raw measurement file, the job text built back from the
// table for Save, Send and Export, Export, and writing the job. The window's
// commands (MainCommands, ExchangeCommands) put dialogs and views around these
// steps; lumaq-cli puts file names and standard error around the same steps.
#pragma once

#include <cstddef>
#include <string>

#include "formats/ExchangeFormat.h"
#include "records/JobDocument.h"
#include "records/RecordTable.h"
#include "records/TextLines.h"

namespace lumaq {

class JobCommands {
 public:
  // progress: where the table's long fills and compactions report.
  JobCommands(JobDocument& job, RecordTable& table, ProgressSink& progress);

  // Open of a record file: its first 15999 lines become the job text and
  // fill the table. Return how many lines were left out.
  std::size_t OpenRecordFile(const std::string& path);
  std::size_t OpenRecordLines(JobText lines);

  // Open of a raw measurement file's bytes: the raw records and the text of
  // each become the job's, converted in file order (so the process's unit
  // state is the one the records leave). False when the file is rejected
  // (IsAcceptedTsm): the job then has neither records nor text.
  bool OpenRawFile(std::string bytes);

  // The records of the table become the job text: rows that are no record
  // left out, fields cut as the table cuts them. What Save, Send and Export
  // write.
  const JobText& TakeRecordsFromTable();

  // Send's records: those of the table, in a coordinate job. False when
  // there is nothing to send.
  bool PrepareSend();

  // The job in format: its job text, or its raw records (read with the
  // process's unit state) for a format that takes raw records. ExportToFile
  // replaces path only once complete and raises FileError; it also writes
  // the formats a library writes as whole files (ExportExchangeFile), which
  // Export cannot.
  void Export(const ExchangeFormat& format, const ExchangeOptions& options,
              const ByteSink& sink) const;
  void ExportToFile(const ExchangeFormat& format, const ExchangeOptions& options,
                    const std::string& path) const;

  // Save: the job text as lines ending in CR LF, or with rawRecords the raw
  // records unchanged. A measurement data file holds raw records alone: the
  // job's other lines (LinesBesideRawRecords, those of a mixed receive) then
  // go to the text file beside it (TextFileBeside), whose name is returned;
  // empty when there are none. Each file is replaced as a whole.
  std::string WriteJob(const std::string& path, bool rawRecords) const;

  // What a receive saves to path: what Save As after it writes with the
  // type path names. The raw records (and the text beside them, as
  // WriteJob) for a .TSM or .tsm of a job that holds them; the record lines
  // rebuilt as the table rebuilds them (SavedRecordLines) in a coordinate
  // job, every one of them even past the table's 15999 rows; the measurement
  // text otherwise.
  struct SavedReceive {
    std::string textBeside;   // as WriteJob returns it
    std::size_t leftOut = 0;  // coordinate lines that are no record, left out
  };
  SavedReceive WriteReceivedJob(const std::string& path) const;

 private:
  JobDocument& job_;
  RecordTable& table_;
  ProgressSink& progress_;
};

}  // namespace lumaq
