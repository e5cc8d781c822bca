// Opening a measurement data file shows the text of its raw records.
#include <gtest/gtest.h>

#include <string>

#include "app/MainCommands.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawUnitState.h"
#include "support/FakeMainView.h"
#include "support/HeadlessWindow.h"
#include "support/RawRecordBuilder.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::DistRecord;
using test::FakeMainView;
using test::InstRecord;
using test::ScriptedDialogs;
using test::StnRecord;
using test::TempDir;
using test::UnitRecord;

const std::string kListedModel(kMostSignificantByteFirstModels[0]);

class OpenTsmTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override {
    ProcessRawUnitState().Reset();
    commands.StartUp({});
  }
  void TearDown() override { ProcessRawUnitState().Reset(); }

  void Open(const std::string& name, const std::string& bytes) {
    dialogs.NextOpenAnswer(FileChoice{dir.Write(name, bytes), 2});
    commands.MenuJobOpenClick();
  }

  TempDir dir;
};

TEST_F(OpenTsmTest, ShowsTheTextOfEveryRecordInFileOrder) {
  const std::string bytes = InstRecord(kListedModel) + UnitRecord(0, 0) +
                            StnRecord("S1", "", 1.6f, 100, 200, 10, 1) +
                            std::string(42, '\x07') +  // no record type: no line
                            DistRecord("P12", "TREE", 1.5f, 123.4567f, 324000, 163815, 1);
  Open("JOB.TSM", bytes);
  const JobText expected = {
      "INST: " + kListedModel + ",V1.05,No.S0012345",
      "UNIT: 0,0,0,0",
      "EDM:  20,1013,0,0,-30,1.000000",
      "STN:  S1,1.600,100.000,200.000,10.000",
      "DIST: P12,1.500,45.3015,90.0000,123.457,TREE",
  };
  EXPECT_EQ(job.JobText, expected);
  EXPECT_EQ(view.shownText, expected);
  EXPECT_EQ(job.RawRecordBuffer, bytes);
  EXPECT_TRUE(job.HasRawRecords);
  EXPECT_EQ(view.caption, "JOB.TSM--全站仪测量数据文件");
  EXPECT_FALSE(job.Modified);
}

TEST_F(OpenTsmTest, OnlyAcceptedFilesAreShownAndConverted) {
  const std::string inst = InstRecord(kListedModel);
  const std::string unit = UnitRecord(1, 1);
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t lines;
  } cases[] = {
      {"TWO.TSM", inst + unit, 3},  // 84 bytes, first byte 0x81: both records
      {"ODD.TSM", inst + unit + "x", 0},
      {"BAD.TSM", unit + inst, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProcessRawUnitState().Reset();
    if (c.lines == 0) dialogs.NextMessageAnswer(MessageResult::kOk);  // not a valid file
    Open(c.name, c.bytes);
    EXPECT_EQ(job.JobText.size(), c.lines);
    EXPECT_EQ(view.shownText, job.JobText);
    EXPECT_EQ(ProcessRawUnitState().DistanceInFeet, c.lines > 0);
  }
}

TEST_F(OpenTsmTest, UnitsCarryOverToTheNextFileByteOrderDoesNot) {
  // The first file switches to feet and comes from a least-significant-first
  // instrument; the second has no unit record and a listed instrument.
  Open("FIRST.TSM",
       InstRecord("ABC123") + UnitRecord(1, 0, 0, 0, 68, 2992, 0, -30, 0, 1.0f, false));
  Open("SECOND.TSM",
       InstRecord(kListedModel) + DistRecord("P1", "", 1.5f, 1000.0f, 324000, 163815, 1));
  ASSERT_EQ(job.JobText.size(), 2u);
  EXPECT_EQ(job.JobText[1], "DIST: P1,4.92,45.3015,90.0000,3280.84");
}

}  // namespace
}  // namespace lumaq
