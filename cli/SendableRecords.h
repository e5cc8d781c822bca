// The records the program's Send sends of a record file: Open reads its
// first 15999 lines into the table, Send builds the job text from the table
// (rows that are no record left out, fields cut as the table cuts them).
#pragma once

#include <string>
#include <utility>

#include "CliCommand.h"
#include "CliJob.h"
#include "records/TextLines.h"

namespace lumaq::cli {

// Raises RejectedInput when the file gives no record to send.
inline JobText SendableRecords(const std::string& path) {
  CliJob open;
  open.commands.OpenRecordFile(path);
  if (!open.commands.PrepareSend()) throw RejectedInput("\"" + path + "\": no records to send");
  return std::move(open.job.JobText);
}

}  // namespace lumaq::cli
