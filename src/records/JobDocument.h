// The open job: its text, its raw measurement records and its flags.
#pragma once

#include <string>

#include "records/TextLines.h"

namespace lumaq {

inline constexpr int kRawRecordSize = 42;

struct JobDocument {
  lumaq::JobText JobText;       // record lines, or the measurement text
  std::string RawRecordBuffer;  // raw measurement records, 42 bytes each
  // While the job holds raw records: its lines that were not made from them
  // (the other frames of a mixed receive, lines the job had before), in
  // order. A measurement data file holds raw records alone, so these are
  // saved in the text file beside it.
  lumaq::JobText LinesBesideRawRecords;
  std::string FilePath;  // empty for a job that never had a file
  std::string JobName = "Job1";
  int JobCounter = 1;
  bool Untitled = true;
  bool Modified = false;
  bool CoordinateMode = true;
  bool HasRawRecords = false;
};

}  // namespace lumaq
