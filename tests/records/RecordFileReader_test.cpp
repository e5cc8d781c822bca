#include "records/RecordFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

// What Open then the table's compaction make of the file: the records the
// reader must give one by one.
JobText OpenedAndCompacted(const std::string& path) {
  JobText lines = ReadTextFile(path);
  CapLines(lines, kMaxRecords);
  RecordTable table;
  NoProgress progress;
  table.FillTableFromJobText(lines, progress);
  return table.BuildJobTextFromTable(progress);
}

TEST(RecordFileReader, GivesTheRecordsOfOpenAndCompactionAndCountsWhatOpenLeavesOut) {
  const std::string kTree = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");
  std::string long16001;
  for (int i = 1; i <= 16001; ++i) {
    long16001 += ComposeRecordLine("P" + std::to_string(i), "", "1", "2", "") + "\n";
  }
  const struct {
    const char* label;
    std::string bytes;
    std::size_t leftOut;
  } cases[] = {
      {"empty", "", 0},
      {"rows without a record, no Z, CR and LF and lone CR",
       kTree + "\r\n\r\n  P2     C2       -1.5\r" + ComposeRecordLine("P3", "", "1", "2", "") +
           "\n" + ComposeRecordLine("", "C", "1", "2", "3") + "\r\nP4",
       0},
      {"fields past their columns", "P5  long name and code, 12345678901234567890 1 2 3", 0},
      {"more lines than the table holds", long16001, 2},
  };
  const test::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir.Write("JOB.BDT", c.bytes);
    RecordFileReader reader(path);
    JobText records;
    std::string record;
    while (reader.Next(record)) records.push_back(record);
    EXPECT_EQ(records, OpenedAndCompacted(path));
    EXPECT_EQ(reader.CountLinesLeftOut(), c.leftOut);
  }
}

}  // namespace
}  // namespace lumaq
