#include "rawdata/RawRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "support/RawRecordBuilder.h"

namespace lumaq {
namespace {

using test::DistRecord;
using test::InstRecord;
using test::RawRecordBuilder;
using test::UnitRecord;

JobText Convert(RawUnitState& state, const std::string& record) {
  JobText text;
  ConvertRawRecord(state, record, text);
  return text;
}

// Records as a listed (most significant byte first) instrument writes them.
std::string Crd(std::string_view name, std::string_view code) {
  return RawRecordBuilder(0x00)
      .NameCode(name, code)
      .Float(19, 1.5f)
      .Coordinate(23, 3456, 789)
      .Coordinate(29, -12, -345)
      .Coordinate(35, 0, -345);
}

TEST(ConvertRawRecord, TextOfEveryMeasurementType) {
  struct Case {
    const char* label;
    std::string record;
    const char* expected;
  } cases[] = {
      {"DIST example", DistRecord("P12", "TREE", 1.5f, 123.4567f, 324000, 163815, 0),
       "DIST: P12,1.500,45.3015,90.0000,123.457,TREE"},
      {"CRD", Crd("P1", "WALL"), "CRD:  P1,1.500,3456.789,-12.345,-0.345,WALL"},
      {"CRD without code", Crd("P1", ""), "CRD:  P1,1.500,3456.789,-12.345,-0.345"},
      {"ANG: horizontal angle first",
       RawRecordBuilder(0x02)
           .NameCode("A1", "C")
           .Float(19, 1.6f)
           .UInt32(27, 324000)
           .UInt32(31, 3661),
       "ANG:  A1,1.600,1.0101,90.0000,C"},
      {"STN",
       RawRecordBuilder(0x03)
           .NameCode("S1")
           .Float(19, 1.55f)
           .Coordinate(23, 100, 0)
           .Coordinate(29, 200, 5)
           .Coordinate(35, 10, 0),
       "STN:  S1,1.550,100.000,200.005,10.000"},
      {"PT: no height, no code",
       RawRecordBuilder(0x04)
           .NameCode("Q9", "IGNORED")
           .Coordinate(19, 1, 1)
           .Coordinate(25, 2, 2)
           .Coordinate(31, 3, 3),
       "PT:   Q9,1.001,2.002,3.003"},
      {"BKB: the angle of bytes 27-30 first",
       RawRecordBuilder(0x05)
           .NameCode("B1", "X")
           .Float(19, 2.0f)
           .UInt32(27, 324000)
           .UInt32(31, 3661),
       "BKB:  B1,2.000,90.0000,1.0101,X"},
      {"BS: five-character tag",
       RawRecordBuilder(0x06)
           .NameCode("K1")
           .Float(19, 1.5f)
           .Coordinate(23, 1, 0)
           .Coordinate(29, 2, 0)
           .Coordinate(35, 3, 0),
       "BS:  K1,1.500,1.000,2.000,3.000"},
      {"GB2312 name and code kept as bytes",
       DistRecord("\xB5\xE3\x31", "\xB5\xE7\xB8\xCB", 0.0f, 0.0f, 0, 0, 0),
       "DIST: \xB5\xE3\x31,0.000,0.0000,0.0000,0.000,\xB5\xE7\xB8\xCB"},
      {"name without a zero byte ends with its field",
       RawRecordBuilder(0x02).Bytes(1, "ABCDEFGHI").Bytes(10, "C"),
       "ANG:  ABCDEFGHI,0.000,0.0000,0.0000,C"},
      {"code without a zero byte ends with its field",
       RawRecordBuilder(0x02).Bytes(1, "N").Bytes(10, "123456789").Float(19, 1.0f),
       "ANG:  N,1.000,0.0000,0.0000,123456789"},
      {"empty name", RawRecordBuilder(0x02).Bytes(10, "C"), "ANG:  ,0.000,0.0000,0.0000,C"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state;
    EXPECT_EQ(Convert(state, c.record), JobText{c.expected});
    EXPECT_EQ(state.SwapBytes, true);  // measurement records only read the state
  }
}

TEST(ConvertRawRecord, InstrumentRecordSetsTheByteOrder) {
  const std::string listed(kMostSignificantByteFirstModels[0]);
  struct Case {
    const char* label;
    std::string record;
    bool swapBefore;
    bool swapAfter;
  } cases[] = {
      {"listed model", InstRecord(listed), false, true},
      {"listed model marked LTE", InstRecord(listed, "1.05", "S0012345", "LTE"), true, false},
      {"listed model marked lte", InstRecord(listed, "1.05", "S0012345", "lte"), false, true},
      {"model not listed", InstRecord("ABC123"), true, false},
      {"model not listed marked lte", InstRecord("ABC123", "1", "2", "lte"), true, false},
      {"listed model in another case", InstRecord("lqt-100"), true, false},
      {"listed model padded with blanks and zeros", InstRecord(" " + listed + "\t"), false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state;
    state.SwapBytes = c.swapBefore;
    Convert(state, c.record);
    EXPECT_EQ(state.SwapBytes, c.swapAfter);
  }
}

TEST(ConvertRawRecord, InstrumentJobAndUnitTexts) {
  struct Case {
    const char* label;
    std::string record;
    JobText expected;
  } cases[] = {
      {"INST example", InstRecord("ABC123"), {"INST: ABC123,V1.05,No.S0012345"}},
      {"INST fields fill their widths",
       InstRecord("ABCDEFGHIJ", "1234", "SERIAL12", "LTE"),
       {"INST: ABCDEFGHIJ,V1234,No.SERIAL12"}},
      {"INST fields trimmed",
       InstRecord("  M1 ", " 2\x01", std::string_view("\0\0 77 ", 6)),
       {"INST: M1,V2,No.77"}},
      {"JOB", RawRecordBuilder(0x82).Bytes(1, "  JOB7"), {"JOB:  JOB7"}},
      {"JOB name of eight characters",
       RawRecordBuilder(0x82).Bytes(1, "ABCDEFGHXYZ"),
       {"JOB:  ABCDEFGH"}},
      {"UNIT example", UnitRecord(0, 0), {"UNIT: 0,0,0,0", "EDM:  20,1013,0,0,-30,1.000000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state;
    EXPECT_EQ(Convert(state, c.record), c.expected);
  }
}

RawUnitState WithUnits(bool feet, bool usSurvey, int angleUnit) {
  RawUnitState state;
  state.DistanceInFeet = feet;
  state.UsSurveyFoot = usSurvey;
  state.AngleUnit = angleUnit;
  return state;
}

TEST(ConvertRawRecord, UnitRecordUpdatesTheStateThenShowsIt) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const RawUnitState metres = WithUnits(false, false, kAngleDms);
  const RawUnitState feetMils = WithUnits(true, false, kAngleMil);
  const RawUnitState usFeetGon = WithUnits(true, true, kAngleGon);
  struct Case {
    const char* label;
    RawUnitState before;
    std::string record;
    RawUnitState after;
    JobText expected;
  } cases[] = {
      {"US survey feet, gon",
       metres,
       UnitRecord(2, 1),
       usFeetGon,
       {"UNIT: 2,1,0,0", "EDM:  20,1013,0,0,-30,1.000000"}},
      {"international feet, mils",
       usFeetGon,
       UnitRecord(1, 2),
       feetMils,
       {"UNIT: 1,2,0,0", "EDM:  20,1013,0,0,-30,1.000000"}},
      {"metres, degrees",
       usFeetGon,
       UnitRecord(0, 0),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  20,1013,0,0,-30,1.000000"}},
      {"distance byte 7 and angle byte 9 keep what is in force",
       feetMils,
       UnitRecord(7, 9),
       feetMils,
       {"UNIT: 1,2,0,0", "EDM:  20,1013,0,0,-30,1.000000"}},
      {"Fahrenheit, millimetres of mercury",
       metres,
       UnitRecord(0, 0, 1, 1),
       metres,
       {"UNIT: 0,0,1,1", "EDM:  68,760,0,0,-30,1.000000"}},
      {"unknown temperature and pressure units read 1 and 2",
       metres,
       UnitRecord(0, 0, 5, 9),
       metres,
       {"UNIT: 0,0,1,2", "EDM:  68,29.92,0,0,-30,1.000000"}},
      {"EDM values in range",
       metres,
       UnitRecord(0, 0, 0, 0, -40, 0, -1234, -99, 2, 1.02f),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  -40,0,-1234,2,-99,1.020000"}},
      {"EDM values out of range read 0",
       metres,
       UnitRecord(0, 0, 0, 0, 68, 2992, 32767, 100, 3, 0.98f),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  20,1013,32767,0,0,0.980000"}},
      {"factor above 1.02",
       metres,
       UnitRecord(0, 0, 0, 0, 68, 2992, 0, 0, 0, 1.05f),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  20,1013,0,0,0,1.000000"}},
      {"factor below 0.98",
       metres,
       UnitRecord(0, 0, 0, 0, 68, 2992, 0, 0, 0, 0.97f),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  20,1013,0,0,0,1.000000"}},
      {"factor not a number",
       metres,
       UnitRecord(0, 0, 0, 0, 68, 2992, 0, 0, 0, nan),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  20,1013,0,0,0,1.000000"}},
      {"factor inside the range",
       metres,
       UnitRecord(0, 0, 0, 0, 68, 2992, 0, 0, 0, 1.0001234f),
       metres,
       {"UNIT: 0,0,0,0", "EDM:  20,1013,0,0,0,1.000123"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state = c.before;
    EXPECT_EQ(Convert(state, c.record), c.expected);
    EXPECT_EQ(state.DistanceInFeet, c.after.DistanceInFeet);
    EXPECT_EQ(state.UsSurveyFoot, c.after.UsSurveyFoot);
    EXPECT_EQ(state.AngleUnit, c.after.AngleUnit);
    EXPECT_TRUE(state.SwapBytes);  // only the instrument record sets the byte order
  }
}

TEST(ConvertRawRecord, LaterRecordsAreShownInTheUnitsLeftByTheUnitRecord) {
  const std::string dist = DistRecord("P1", "", 1.5f, 1000.0f, 324000, 163815, 0);
  const std::string crd = RawRecordBuilder(0x00)
                              .NameCode("C1")
                              .Coordinate(23, 1000, 0)
                              .Coordinate(29, 0, -345)
                              .Coordinate(35, 0, 0);
  struct Case {
    const char* label;
    std::string unit;
    JobText expected;
  } cases[] = {
      {"metres, degrees",
       UnitRecord(0, 0),
       {"DIST: P1,1.500,45.3015,90.0000,1000.000", "CRD:  C1,0.000,1000.000,-0.345,0.000"}},
      {"international feet",
       UnitRecord(1, 0),
       {"DIST: P1,4.92,45.3015,90.0000,3280.84", "CRD:  C1,0.00,3280.84,-1.13,0.00"}},
      {"US survey feet",
       UnitRecord(2, 0),
       {"DIST: P1,4.92,45.3015,90.0000,3280.83", "CRD:  C1,0.00,3280.83,-1.13,0.00"}},
      {"gon",
       UnitRecord(0, 1),
       {"DIST: P1,1.500,50.5602,100.0000,1000.000", "CRD:  C1,0.000,1000.000,-0.345,0.000"}},
      {"mils",
       UnitRecord(0, 2),
       {"DIST: P1,1.500,758.403,1500.000,1000.000", "CRD:  C1,0.000,1000.000,-0.345,0.000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state;
    Convert(state, c.unit);
    JobText text;
    ConvertRawRecord(state, dist, text);
    ConvertRawRecord(state, crd, text);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(ConvertRawRecord, ByteOrderFollowsTheInstrumentRecord) {
  // A model that is not listed writes least significant byte first.
  RawUnitState state;
  JobText text;
  ConvertRawRecord(state, InstRecord("ABC123"), text);
  ConvertRawRecord(state, DistRecord("P1", "", 1.5f, 2.0f, 324000, 163815, 0, false), text);
  ConvertRawRecord(state, UnitRecord(0, 1, 0, 0, 68, 2992, 0, -30, 0, 1.0f, false), text);
  EXPECT_EQ(text, (JobText{"INST: ABC123,V1.05,No.S0012345", "DIST: P1,1.500,45.3015,90.0000,2.000",
                           "UNIT: 0,1,0,0", "EDM:  20,1013,0,0,-30,1.000000"}));
}

TEST(ConvertRawRecord, WhatIsNoRecordAddsNothingAndChangesNothing) {
  // A unit record's body under another type byte.
  const auto withType = [](char type) {
    std::string record = UnitRecord(2, 1);
    record[0] = type;
    return record;
  };
  struct Case {
    const char* label;
    std::string record;
  } cases[] = {
      {"type 0x07", withType('\x07')},
      {"type 0x84", withType('\x84')},
      {"type 0x80", withType('\x80')},
      {"type 0xFF", withType('\xFF')},
      {"41 bytes", UnitRecord(2, 1).substr(0, 41)},
      {"43 bytes", UnitRecord(2, 1) + "x"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state;
    JobText text = {"before"};
    ConvertRawRecord(state, c.record, text);
    EXPECT_EQ(text, JobText{"before"});
    EXPECT_FALSE(state.DistanceInFeet);
    EXPECT_EQ(state.AngleUnit, kAngleDms);
  }
}

TEST(ConvertRawRecord, SameRecordsGiveTheSameTextWhileNoUnitRecordComesBetween) {
  const std::string records[] = {
      DistRecord("P1", "A", 1.5f, 12.0f, 324000, 163815, 0),
      Crd("P2", ""),
  };
  RawUnitState state;
  Convert(state, UnitRecord(1, 2));
  JobText first;
  JobText second;
  for (const auto& r : records) ConvertRawRecord(state, r, first);
  for (const auto& r : records) ConvertRawRecord(state, r, second);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first[0], "DIST: P1,4.92,758.403,1500.000,39.37,A");
}

TEST(ConvertRawRecord, ALineBreakInANameStartsAnotherLine) {
  RawUnitState state;
  EXPECT_EQ(Convert(state, RawRecordBuilder(0x02).Bytes(1, "A\r\nB")),
            (JobText{"ANG:  A", "B,0.000,0.0000,0.0000"}));
}

TEST(IsListedInstrumentModel, MatchesWholeIdentifiersOnly) {
  for (const auto model : kMostSignificantByteFirstModels)
    EXPECT_TRUE(IsListedInstrumentModel(model));
  const std::string first(kMostSignificantByteFirstModels[0]);
  EXPECT_FALSE(IsListedInstrumentModel(first + " "));
  EXPECT_FALSE(IsListedInstrumentModel(first.substr(0, first.size() - 1)));
  EXPECT_FALSE(IsListedInstrumentModel(""));
}

TEST(OpenTsmBytes, AcceptsWholeRecordsStartingWithAnInstrumentRecord) {
  // A listed model: converting its record would set the byte order.
  const std::string inst = InstRecord(std::string(kMostSignificantByteFirstModels[0]));
  const std::string dist = DistRecord("P", "", 0, 0, 0, 0, 0);
  struct Case {
    const char* label;
    std::string bytes;
    bool accepted;
    std::size_t lines;
  } cases[] = {
      {"84 bytes starting with 0x81", inst + dist, true, 2},
      {"85 bytes", inst + dist + "x", false, 0},
      {"84 bytes starting with 0x01", dist + inst, false, 0},
      {"second type byte plays no part", inst + std::string(42, '\x07'), true, 1},
      {"empty", "", true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RawUnitState state;
    state.SwapBytes = false;
    const TsmContent content = OpenTsmBytes(state, c.bytes);
    EXPECT_EQ(content.accepted, c.accepted);
    EXPECT_EQ(content.RawRecordBuffer, c.accepted ? c.bytes : "");
    EXPECT_EQ(content.JobText.size(), c.lines);
    // A rejected file converts nothing, not even its instrument record.
    EXPECT_EQ(state.SwapBytes, c.lines > 0);
  }
}

}  // namespace
}  // namespace lumaq
