// A journal replayed gives the job of the live receive that wrote it, byte for
// byte: every frame kind, mixed transfers, refused frames among accepted
// ones, and where the unit state of raw records starts.
#include "comm/JournalReplay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/JournalLayout.h"
#include "comm/ReceiveJournal.h"
#include "comm/TransferSession.h"
#include "rawdata/RawRecord.h"
#include "support/InstrumentFrames.h"
#include "support/RawRecordBuilder.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::Bytes;
using test::TextBody;

const std::string kTreeBody = test::BinaryCoordinateBody(
    "P1", "TREE", Bytes({0x00, 0x03, 0x45, 0x67, 0x89}), Bytes({0x00, 0x01, 0x23, 0x45, 0x67}),
    Bytes({0x00, 0x00, 0x01, 0x23, 0x00}));
const std::string kTextBody = test::TextCoordinateBody("P2,PT,10.5,20.25,-3");
const std::string kAnglesBody =
    TextBody(39, {{1, "P1"}, {9, "TOPO"}, {17, "90.0000"}, {25, "123.4500"}, {33, "1.500"}});
const std::string kSlopeBody =
    TextBody(47, {{1, "P5"}, {17, "12.345"}, {25, "90.0000"}, {33, "45.3000"}, {41, "1.600"}});
const std::string kObservationBody =
    TextBody(56, {{1, "Q1"}, {9, "C"}, {17, "100.000"}, {28, "200.000"}, {39, "3.000"}});
const std::string kStationBody =
    TextBody(56, {{1, "ST"}, {17, "1.000"}, {28, "2.000"}, {39, "3.000"}, {50, "1.45"}});
const std::string kStationBlock = Bytes({0x01, 0x02}) + std::string(49, '\0');
const std::string kInstrument = test::InstRecord("OTHER-1");
const std::string kMetresDms =
    test::UnitRecord(0, kAngleDms, 0, 0, 68, 2992, 0, -30, 0, 1.0f, false);
const std::string kDistance = test::DistRecord("A1", "X", 1.5f, 123.456f, 900000, 453000, 1, false);

// What the instrument does with one frame: sends it whole, with a wrong
// checksum, or cut short (the last two are refused).
enum class Send { kWhole, kBadSum, kCut };
struct Step {
  std::uint8_t header;
  std::string body;
  Send how = Send::kWhole;
};

std::string OnTheLine(const Step& step) {
  switch (step.how) {
    case Send::kWhole:
      return test::WithChecksum(step.body);
    case Send::kBadSum:
      return step.body + static_cast<char>(FrameChecksum(step.body) + 1);
    case Send::kCut:
      return step.body.substr(0, step.body.size() / 2);
  }
  return {};
}

// A live receive of the steps into job, its frames journalled at path, ended
// by the end byte (the dialog writes CoordinateMode back as it closes).
void LiveReceive(JobDocument& job, RawUnitState& units, const std::vector<Step>& steps,
                 const std::string& path) {
  test::TransferLog log;
  test::ScriptedTransferPort port(log);
  test::RecordingTransferView view(log);
  ReceiveJournal journal(path, nullptr);
  TransferSession session(job, port, view, TransferDirection::kReceive, units);
  session.SetAcceptedFrameSink(&journal);
  session.FormShow();
  for (const Step& step : steps) {
    port.ReplyTo("\xBB", OnTheLine(step));
    port.Arrive(std::string(1, static_cast<char>(step.header)));
    session.ComPort1RxChar(1);
  }
  port.Arrive("\xEE");
  session.ComPort1RxChar(1);
  ASSERT_EQ(session.Outcome(), TransferOutcome::kEndReceived);
  journal.Finish();
}

void ExpectSameJob(const JobDocument& replayed, const JobDocument& live) {
  EXPECT_EQ(replayed.JobText, live.JobText);
  EXPECT_EQ(replayed.RawRecordBuffer, live.RawRecordBuffer);
  EXPECT_EQ(replayed.CoordinateMode, live.CoordinateMode);
  EXPECT_EQ(replayed.HasRawRecords, live.HasRawRecords);
  EXPECT_EQ(replayed.LinesBesideRawRecords, live.LinesBesideRawRecords);
}

void ExpectSameUnits(const RawUnitState& replayed, const RawUnitState& live) {
  EXPECT_EQ(replayed.SwapBytes, live.SwapBytes);
  EXPECT_EQ(replayed.DistanceInFeet, live.DistanceInFeet);
  EXPECT_EQ(replayed.UsSurveyFoot, live.UsSurveyFoot);
  EXPECT_EQ(replayed.AngleUnit, live.AngleUnit);
}

JobDocument AfterNew() {
  return JobDocument{};
}

JobDocument MeasurementJobWithText() {
  JobDocument job;
  job.JobText = {"kept"};
  job.RawRecordBuffer = "left from before";
  job.CoordinateMode = false;
  job.HasRawRecords = true;
  return job;
}

RawUnitState FeetAndGon() {
  RawUnitState units;
  units.DistanceInFeet = true;
  units.AngleUnit = kAngleGon;
  return units;
}

TEST(JournalReplay, GivesTheJobOfTheLiveReceiveByteForByte) {
  struct Case {
    const char* label;
    std::vector<Step> steps;
    JobDocument start = AfterNew();
    RawUnitState units = RawUnitState{};
  } cases[] = {
      {"0xAA binary record", {{0xAA, kTreeBody}}},
      {"0x06 text record", {{0x06, kTextBody}}},
      {"0xA0 coordinate observation", {{0xA0, kObservationBody}}},
      {"0xA1 slope distance", {{0xA1, kSlopeBody}}},
      {"0xA2 angles", {{0xA2, kAnglesBody}}},
      {"0xA3 station", {{0xA3, kStationBody}}},
      {"0xAF station block", {{0xAF, kStationBlock}}},
      {"0xA8 raw record", {{0xA8, kInstrument}}},
      {"coordinates, then a measurement",
       {{0xAA, kTreeBody}, {0x06, kTextBody}, {0xA1, kSlopeBody}}},
      {"measurements, then coordinates",
       {{0xA3, kStationBody}, {0xA2, kAnglesBody}, {0xAA, kTreeBody}}},
      {"raw records with their units, then a coordinate record",
       {{0xA8, kInstrument}, {0xA8, kMetresDms}, {0xA8, kDistance}, {0xAA, kTreeBody}}},
      {"refused frames among accepted ones",
       {{0xAA, kTreeBody},
        {0xA1, kSlopeBody, Send::kBadSum},
        {0xA8, kInstrument, Send::kCut},
        {0xA8, kInstrument},
        {0x06, kTextBody, Send::kCut},
        {0xA2, kAnglesBody}}},
      {"a refused frame last", {{0xAA, kTreeBody}, {0xA8, kInstrument, Send::kBadSum}}},
      {"every frame refused", {{0xA8, kDistance, Send::kCut}}, MeasurementJobWithText()},
      {"no frame, into a measurement job with text", {}, MeasurementJobWithText()},
      {"coordinates after a measurement job with text",
       {{0xAA, kTreeBody}},
       MeasurementJobWithText()},
      {"raw records without units, in a run that had set feet and gon",
       {{0xA8, kDistance}, {0xA8, kDistance}},
       AfterNew(),
       FeetAndGon()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir dir;
    const std::string path = dir.Path("OUT.journal");
    JobDocument live = c.start;
    RawUnitState liveUnits = c.units;
    LiveReceive(live, liveUnits, c.steps, path);

    JobDocument replayed = c.start;
    RawUnitState replayUnits = c.units;
    const JournalReplay replay = ReplayJournal(path, replayed, replayUnits);
    int accepted = 0;
    for (const Step& step : c.steps) accepted += step.how == Send::kWhole ? 1 : 0;
    EXPECT_EQ(replay.frames, accepted);
    EXPECT_FALSE(replay.cutFrame);
    ExpectSameJob(replayed, live);
    ExpectSameUnits(replayUnits, liveUnits);
  }
}

TEST(JournalReplay, ALastFrameCutShortIsLeftOutAndTold) {
  test::TempDir dir;
  const std::string whole = FrameBytes({0xAA, kTreeBody}) + FrameBytes({0xA1, kSlopeBody});
  const std::string path =
      dir.Write("OUT.journal", whole + FrameBytes({0xA8, kInstrument}).substr(0, 11));
  JobDocument job;
  RawUnitState units;
  const JournalReplay replay = ReplayJournal(path, job, units);
  EXPECT_EQ(replay.frames, 2);
  ASSERT_TRUE(replay.cutFrame);
  EXPECT_EQ(*replay.cutFrame, (Frame{0xA8, kInstrument.substr(0, 10)}));

  JobDocument expected;
  RawUnitState expectedUnits;
  ReplayFrames(ParseJournal(whole), expected, expectedUnits);
  ExpectSameJob(job, expected);
  EXPECT_EQ(job.JobText.size(), 3u);
  EXPECT_FALSE(job.CoordinateMode);
  EXPECT_FALSE(job.HasRawRecords);
}

// Damage gives up only what follows it: the frames before are replayed, and
// the replay says where it starts and how much is set aside. Journals now
// keep each frame's checksum, so a body damaged on the disk is found too.
TEST(JournalReplay, ADamagedJournalGivesTheFramesBeforeItsDamage) {
  const std::string magic(kJournalMagic);
  const std::string tree = JournalFrameBytes(0xAA, kTreeBody);
  const std::string slope = JournalFrameBytes(0xA1, kSlopeBody);
  const std::string whole = magic + tree + slope;
  const std::size_t second = magic.size() + tree.size();
  const auto changed = [&](std::size_t at, char byte) {
    std::string bytes = whole;
    bytes[at] = byte;
    return bytes;
  };
  struct Case {
    const char* label;
    std::string bytes;
    int frames;
    std::size_t damageAt;  // 0: no damage
  } cases[] = {
      {"intact", whole, 2, 0},
      {"a zero-filled tail after a power loss", whole + std::string(4096, '\0'), 2, whole.size()},
      {"garbage appended", whole + "garbage", 2, whole.size()},
      {"a header byte that is no header", changed(second, '\x01'), 1, second},
      {"a header byte turned into another header", changed(second, '\xAA'), 1, second},
      {"a byte flipped inside a body", changed(second + 7, 'Z'), 1, second},
      {"a damaged checksum byte", changed(whole.size() - 1, '\0'), 1, second},
      {"the first frame damaged", changed(magic.size() + 3, '\x7F'), 0, magic.size()},
      {"an older journal, without checksums, then garbage",
       FrameBytes({0xAA, kTreeBody}) + "\x55junk", 1, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir dir;
    JobDocument job;
    RawUnitState units;
    const JournalReplay replay = ReplayJournal(dir.Write("OUT.journal", c.bytes), job, units);
    EXPECT_EQ(replay.frames, c.frames);
    EXPECT_FALSE(replay.cutFrame);
    EXPECT_EQ(job.JobText.size(), c.frames == 2 ? 3u : c.frames == 1 ? 1u : 0u);
    if (c.damageAt == 0) {
      EXPECT_FALSE(replay.damage);
      continue;
    }
    ASSERT_TRUE(replay.damage);
    EXPECT_EQ(replay.damage->offset, c.damageAt);
    EXPECT_EQ(replay.damage->setAside, c.bytes.size() - c.damageAt);
  }
  test::TempDir dir;
  JobDocument job;
  RawUnitState units;
  EXPECT_THROW(ReplayJournal(dir.Path("missing.journal"), job, units), FileError);
}

// A program that starts anew reads raw records with the default units; the
// window that received them may have had others from earlier raw records of
// its run. Only the text of the records before the transfer's own instrument
// and unit records can differ; the raw bytes never do.
TEST(JournalReplay, RawTextDependsOnTheUnitsAtTheStartUntilTheTransferSetsItsOwn) {
  struct Case {
    const char* label;
    std::vector<Step> steps;
    bool sameText;
  } cases[] = {
      {"a measurement without instrument and unit records", {{0xA8, kDistance}}, false},
      {"instrument and unit records first",
       {{0xA8, kInstrument}, {0xA8, kMetresDms}, {0xA8, kDistance}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir dir;
    const std::string path = dir.Path("OUT.journal");
    JobDocument live;
    RawUnitState windowUnits = FeetAndGon();
    LiveReceive(live, windowUnits, c.steps, path);

    JobDocument replayed;
    RawUnitState fresh;
    ReplayJournal(path, replayed, fresh);
    EXPECT_EQ(replayed.JobText == live.JobText, c.sameText);
    EXPECT_EQ(replayed.RawRecordBuffer, live.RawRecordBuffer);
    EXPECT_EQ(replayed.HasRawRecords, live.HasRawRecords);
  }
}

}  // namespace
}  // namespace lumaq
