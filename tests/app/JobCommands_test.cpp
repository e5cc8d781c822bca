// What a received job is saved as: what Save As after the receive writes
// with the type the file's name gives, shared by lumaq-cli receive and
// recover.
#include "app/JobCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

const std::string kRaw = std::string(1, '\x81') + std::string(41, 'r');
const std::string kP1 = ComposeRecordLine("P1", "TREE", "1.000", "2.000", "");
const std::string kP1Saved = ComposeRecordLine("P1", "TREE", "1.000", "2.000", "0.000");
const std::string kNameless = ComposeRecordLine("", "X", "3.000", "4.000", "5.000");

JobDocument Job(bool coordinateMode, bool rawRecords, JobText beside = {}) {
  JobDocument job;
  job.JobText = {kP1, kNameless};
  job.CoordinateMode = coordinateMode;
  job.HasRawRecords = rawRecords;
  if (rawRecords) job.RawRecordBuffer = kRaw;
  job.LinesBesideRawRecords = std::move(beside);
  return job;
}

TEST(JobCommands, AReceivedJobIsSavedAsSaveAsWritesItWithTheTypeOfItsName) {
  const std::string allLines = JoinLinesCrLf({kP1, kNameless});
  struct Case {
    const char* label;
    JobDocument job;
    const char* name;
    std::string bytes;
    const char* beside;  // the text file beside, and what it holds
    std::string besideBytes;
    std::size_t leftOut;
  } cases[] = {
      {"coordinate records, rebuilt as the table saves them", Job(true, false), "OUT.BDT",
       JoinLinesCrLf({kP1Saved}), "", "", 1},
      {"coordinate records to a .TSM name", Job(true, false), "OUT.TSM", JoinLinesCrLf({kP1Saved}),
       "", "", 1},
      {"raw records as .TSM", Job(false, true), "OUT.TSM", kRaw, "", "", 0},
      {"raw records and other lines as .TSM", Job(false, true, {kNameless}), "OUT.TSM", kRaw,
       "OUT.TXT", JoinLinesCrLf({kNameless}), 0},
      {"raw records and other lines as .tsm", Job(false, true, {kNameless}), "out.tsm", kRaw,
       "out.txt", JoinLinesCrLf({kNameless}), 0},
      {"raw records as .Tsm: text", Job(false, true, {kNameless}), "OUT.Tsm", allLines, "", "", 0},
      {"raw records as text", Job(false, true, {kNameless}), "OUT.TXT", allLines, "", "", 0},
      {"measurement text as .TSM", Job(false, false), "OUT.TSM", allLines, "", "", 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir dir;
    RecordTable table;
    NoProgress progress;
    const JobCommands commands(c.job, table, progress);
    const JobCommands::SavedReceive saved = commands.WriteReceivedJob(dir.Path(c.name));
    EXPECT_EQ(ReadFileBytes(dir.Path(c.name)), c.bytes);
    EXPECT_EQ(saved.leftOut, c.leftOut);
    if (*c.beside == '\0') {
      EXPECT_EQ(saved.textBeside, "");
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), {}), 1);
    } else {
      EXPECT_EQ(saved.textBeside, dir.Path(c.beside));
      EXPECT_EQ(ReadFileBytes(dir.Path(c.beside)), c.besideBytes);
    }
  }
}

TEST(JobCommands, EveryReceivedRecordIsSavedBeyondTheRecordTable) {
  test::TempDir dir;
  JobDocument job;
  job.JobText.assign(static_cast<std::size_t>(kMaxRecords) + 1, kP1);
  RecordTable table;
  NoProgress progress;
  JobCommands(job, table, progress).WriteReceivedJob(dir.Path("OUT.BDT"));
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.BDT")).size(), (kP1Saved.size() + 2) * 16000);
}

}  // namespace
}  // namespace lumaq
