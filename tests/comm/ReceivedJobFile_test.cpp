#include "comm/ReceivedJobFile.h"

#include <gtest/gtest.h>

#include <string>

#include "records/RecordTable.h"

namespace lumaq {
namespace {

JobDocument Job(bool coordinateMode, bool hasRawRecords) {
  JobDocument job;
  job.JobText = {"line 1", "line 2"};
  job.RawRecordBuffer = std::string(42, '\x81');
  job.CoordinateMode = coordinateMode;
  job.HasRawRecords = hasRawRecords;
  return job;
}

TEST(ReceivedJobFile, RawBytesOnlyForRawRecordsSavedAsAMeasurementDataFile) {
  const std::string lines = "line 1\r\nline 2\r\n";
  const std::string raw(42, '\x81');
  struct Case {
    const char* label;
    JobDocument job;
    const char* path;
    std::string bytes;
  } cases[] = {
      {"coordinate records", Job(true, false), "OUT.BDT", lines},
      {"coordinate records to a .TSM name", Job(true, false), "OUT.TSM", lines},
      {"raw records as .TSM", Job(false, true), "dir/OUT.TSM", raw},
      {"raw records as .tsm", Job(false, true), "OUT.tsm", raw},
      {"raw records as .Tsm", Job(false, true), "OUT.Tsm", lines},
      {"raw records as text", Job(false, true), "OUT.TXT", lines},
      {"measurement text as .TSM", Job(false, false), "OUT.TSM", lines},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(ReceivedJobBytes(c.job, c.path), c.bytes);
  }
}

TEST(ReceivedJobFile, EveryLineIsSavedBeyondTheRecordTable) {
  JobDocument job;
  job.JobText.assign(static_cast<std::size_t>(kMaxRecords), "r");
  EXPECT_FALSE(ExceedsRecordTable(job));
  job.JobText.push_back("last");
  EXPECT_TRUE(ExceedsRecordTable(job));
  EXPECT_EQ(ReceivedJobBytes(job, "OUT.BDT").size(), 3u * 15999 + 6);
  job.CoordinateMode = false;
  EXPECT_FALSE(ExceedsRecordTable(job));
}

}  // namespace
}  // namespace lumaq
