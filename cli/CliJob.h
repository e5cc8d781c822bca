// A job without a window for the file commands of lumaq-cli: the job, its
// record table and the program's job commands on them (app/JobCommands.h).
#pragma once

#include "app/JobCommands.h"
#include "records/JobDocument.h"
#include "records/RecordTable.h"

namespace lumaq::cli {

class CliJob {
 public:
  CliJob() = default;
  CliJob(const CliJob&) = delete;
  CliJob& operator=(const CliJob&) = delete;

  JobDocument job;
  RecordTable table;
  NoProgress progress;
  JobCommands commands{job, table, progress};
};

}  // namespace lumaq::cli
