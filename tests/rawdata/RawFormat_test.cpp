#include "rawdata/RawFormat.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace lumaq {
namespace {

RawUnitState Metres(int angleUnit = kAngleDms) {
  RawUnitState state;
  state.AngleUnit = angleUnit;
  return state;
}
RawUnitState Feet(bool usSurvey) {
  RawUnitState state;
  state.DistanceInFeet = true;
  state.UsSurveyFoot = usSurvey;
  return state;
}
RawUnitState Swapped(bool swap) {
  RawUnitState state;
  state.SwapBytes = swap;
  return state;
}

TEST(RawUnitState, StartsMostSignificantFirstInMetresAndDegrees) {
  RawUnitState& state = ProcessRawUnitState();
  state.DistanceInFeet = true;
  state.Reset();
  EXPECT_TRUE(state.SwapBytes);
  EXPECT_FALSE(state.DistanceInFeet);
  EXPECT_FALSE(state.UsSurveyFoot);
  EXPECT_EQ(state.AngleUnit, kAngleDms);
  EXPECT_EQ(&state, &ProcessRawUnitState());
}

TEST(ReverseBytes, ExchangesMirroredBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"a", "a"}, {"ab", "ba"}, {"abc", "cba"}, {"abcdef", "fedcba"}};
  for (auto [bytes, expected] : cases) {
    ReverseBytes(bytes);
    EXPECT_EQ(bytes, expected);
  }
}

TEST(RawReaders, ReadBothByteOrders) {
  const std::array<char, 4> bytes = {0x00, 0x00, 0x01, static_cast<char>(0xF4)};
  EXPECT_EQ(ReadRawUInt32(Swapped(true), bytes), 500u);
  EXPECT_EQ(ReadRawUInt32(Swapped(false), bytes), 4093706240u);
  EXPECT_EQ(bytes[3], static_cast<char>(0xF4));  // left as it was

  const std::array<char, 2> minusTwo = {static_cast<char>(0xFF), static_cast<char>(0xFE)};
  EXPECT_EQ(ReadRawInt16(Swapped(true), minusTwo), -2);
  EXPECT_EQ(ReadRawInt16(Swapped(false), minusTwo), -257);

  const std::array<char, 4> oneAndHalf = {0x3F, static_cast<char>(0xC0), 0x00, 0x00};
  EXPECT_EQ(ReadRawFloat(Swapped(true), oneAndHalf), 1.5f);
  const std::array<char, 4> reversed = {0x00, 0x00, static_cast<char>(0xC0), 0x3F};
  EXPECT_EQ(ReadRawFloat(Swapped(false), reversed), 1.5f);
}

TEST(RawReaders, CoordinateReversesItsTwoPartsEachByItself) {
  struct Case {
    bool swap;
    std::array<unsigned char, 6> bytes;
    RawCoordinate expected;
  } cases[] = {
      {true, {0xFF, 0xFF, 0xFF, 0xF4, 0xFE, 0xA7}, {-12, -345}},
      {false, {0xF4, 0xFF, 0xFF, 0xFF, 0xA7, 0xFE}, {-12, -345}},
      {true, {0x00, 0x00, 0x00, 0x00, 0xFE, 0xA7}, {0, -345}},
      {true, {0x00, 0x01, 0x02, 0x03, 0x04, 0x05}, {0x00010203, 0x0405}},
      {false, {0x00, 0x01, 0x02, 0x03, 0x04, 0x05}, {0x03020100, 0x0504}},
  };
  for (const auto& c : cases) {
    std::array<char, 6> bytes{};
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin());
    SCOPED_TRACE(c.expected.whole);
    EXPECT_EQ(ReadRawCoordinate(Swapped(c.swap), bytes), c.expected);
  }
}

TEST(MetresToFeet, UsesTheFootTheStateNames) {
  EXPECT_EQ(MetresToFeet(Feet(false), 1.0), 3.280839895013123L);
  EXPECT_EQ(MetresToFeet(Feet(true), 1.0), 3.2808333333333244L);
  EXPECT_NEAR(static_cast<double>(MetresToFeet(Feet(false), 381.0)), 1250.0, 1e-9);
}

TEST(SplitArcSeconds, GivesDegreesMinutesSeconds) {
  EXPECT_EQ(SplitArcSeconds(163815), (ArcSecondParts{45, 30, 15}));
  EXPECT_EQ(SplitArcSeconds(1296000), (ArcSecondParts{360, 0, 0}));
  EXPECT_EQ(SplitArcSeconds(59), (ArcSecondParts{0, 0, 59}));
  // 65536 degrees and 61 seconds: the degrees lose their high bits.
  EXPECT_EQ(SplitArcSeconds(65536u * 3600u + 61u), (ArcSecondParts{0, 1, 1}));
}

TEST(FormatRawAngle, InEachAngleUnit) {
  struct Case {
    int unit;
    std::uint32_t arcSeconds;
    const char* expected;
  } cases[] = {
      {kAngleDms, 0, "0.0000"},
      {kAngleDms, 163815, "45.3015"},
      {kAngleDms, 324000, "90.0000"},
      {kAngleDms, 1296000, "360.0000"},
      {kAngleDms, 3661, "1.0101"},
      {kAngleDms, 65536u * 3600u + 3661u, "1.0101"},
      {kAngleDms, 4294967295u, "13398.2815"},  // 1193046 degrees keep their low 16 bits
      {kAngleGon, 324000, "100.0000"},
      {kAngleGon, 1296000, "400.0000"},
      {kAngleGon, 1, "0.0003"},
      {kAngleGon, 163815, "50.5602"},
      {kAngleMil, 1296000, "6000.000"},
      {kAngleMil, 324000, "1500.000"},
      {kAngleMil, 1, "0.005"},
      {kAngleMil, 0, "0.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.unit) + " " + std::to_string(c.arcSeconds));
    EXPECT_EQ(FormatRawAngle(Metres(c.unit), c.arcSeconds), c.expected);
  }
}

TEST(FormatDecimals, RoundsHalvesAwayFromZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float value;
    int decimals;
    const char* expected;
  } cases[] = {
      {1.5f, 3, "1.500"},
      {0.0f, 3, "0.000"},
      {0.0f, 2, "0.00"},
      {123.4567f, 3, "123.457"},
      {0.0625f, 3, "0.063"},  // an exact half: away from zero, not to even
      {-0.0625f, 3, "-0.063"},
      {0.125f, 2, "0.13"},
      {2.5f, 0, "3"},
      {-2.5f, 0, "-3"},
      {1.0005f, 3, "1.000"},   // stored a little below the half
      {-0.0004f, 3, "0.000"},  // rounds to zero: no sign
      {-0.0f, 3, "0.000"},
      {0.99951f, 3, "1.000"},  // carries into the integer digit
      {1.02f, 6, "1.020000"},
      {0.98f, 6, "0.980000"},
      {16777216.0f, 3, "16777216.000"},
      {1e30f, 2, "1000000015047466219876688855040.00"},
      {nan, 3, "NAN"},
      {inf, 2, "INF"},
      {-inf, 2, "-INF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatDecimals(c.value, c.decimals), c.expected);
  }
}

TEST(FormatRawDistance, ThreeDecimalsInMetresTwoInFeet) {
  struct Case {
    RawUnitState state;
    float metres;
    const char* expected;
  } cases[] = {
      {Metres(), 1.5f, "1.500"},        {Metres(), 123.4567f, "123.457"},
      {Metres(), -0.0625f, "-0.063"},   {Feet(false), 1.5f, "4.92"},
      {Feet(true), 1.5f, "4.92"},       {Feet(false), 1000.0f, "3280.84"},
      {Feet(true), 1000.0f, "3280.83"}, {Feet(false), 0.0f, "0.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatRawDistance(c.state, c.metres), c.expected);
  }
}

TEST(FormatRawCoordinate, KeepsTheSignOfEitherPart) {
  struct Case {
    RawUnitState state;
    RawCoordinate coordinate;
    const char* expected;
  } cases[] = {
      {Metres(), {0, 0}, "0.000"},
      {Metres(), {0, -345}, "-0.345"},
      {Metres(), {-12, -345}, "-12.345"},
      {Metres(), {12, 345}, "12.345"},
      {Metres(), {0, 7}, "0.007"},
      {Metres(), {0, -5}, "-0.005"},
      {Metres(), {-2147483647 - 1, -999}, "-2147483648.999"},
      {Metres(), {5, 1234}, "5.1234"},  // out of the instrument's range: printed as it comes
      {Metres(), {0, -32768}, "-0.32768"},
      {Feet(false), {1000, 0}, "3280.84"},
      {Feet(true), {1000, 0}, "3280.83"},
      {Feet(false), {0, -345}, "-1.13"},
      {Feet(false), {-12, -345}, "-40.50"},
      {Feet(false), {0, 0}, "0.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatRawCoordinate(c.state, c.coordinate), c.expected);
  }
}

TEST(FormatTemperatureAndPressure, InEachUnit) {
  struct Case {
    std::string actual;
    const char* expected;
  } cases[] = {
      {FormatTemperature(68, 0), "20"},
      {FormatTemperature(32, 0), "0"},
      {FormatTemperature(-40, 0), "-40"},
      {FormatTemperature(33, 0), "1"},  // 0.5555556 rounds away from zero
      {FormatTemperature(31, 0), "-1"},
      {FormatTemperature(212, 0), "100"},
      {FormatTemperature(68, 1), "68"},
      {FormatTemperature(-40, 1), "-40"},
      {FormatPressure(2992, 0), "1013"},
      {FormatPressure(2992, 1), "760"},
      {FormatPressure(2992, 2), "29.92"},
      {FormatPressure(0, 0), "0"},
      {FormatPressure(0, 2), "0.00"},
      {FormatPressure(-5, 2), "-0.05"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

}  // namespace
}  // namespace lumaq
