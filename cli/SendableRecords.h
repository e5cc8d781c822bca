// The records the program's Send sends of a record file: Open reads its
// first 15999 lines into the table, Send builds the job text from the table
// (rows that are no record left out, fields cut as the table cuts them).
#pragma once

#include <string>

#include "CliCommand.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"

namespace lumaq::cli {

// Raises RejectedInput when the file gives no record to send.
inline JobText SendableRecords(const std::string& path) {
  JobText lines = ReadTextFile(path);
  CapLines(lines, kMaxRecords);
  NoProgress progress;
  RecordTable table;
  table.FillTableFromJobText(lines, progress);
  JobText records = table.BuildJobTextFromTable(progress);
  if (records.empty()) throw RejectedInput("\"" + path + "\": no records to send");
  return records;
}

}  // namespace lumaq::cli
