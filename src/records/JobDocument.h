// The open job: its text, its raw measurement records and its flags.
#pragma once

#include <string>

#include "records/TextLines.h"

namespace lumaq {

inline constexpr int kRawRecordSize = 42;

struct JobDocument {
  lumaq::JobText JobText;       // record lines, or the measurement text
  std::string RawRecordBuffer;  // raw measurement records, 42 bytes each
  std::string FilePath;         // empty for a job that never had a file
  std::string JobName = "Job1";
  int JobCounter = 1;
  bool Untitled = true;
  bool Modified = false;
  bool CoordinateMode = true;
  bool HasRawRecords = false;
};

}  // namespace lumaq
