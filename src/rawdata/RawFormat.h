// Reading the binary numbers of raw measurement records and writing them as
// text in the units of the run.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "rawdata/RawUnitState.h"

namespace lumaq {

// A coordinate as the instrument stores it: whole metres and thousandths of a
// metre, each with the sign of the value (-12.345 m is -12 and -345, -0.345 m
// is 0 and -345).
struct RawCoordinate {
  std::int32_t whole = 0;
  std::int16_t thousandths = 0;
  bool operator==(const RawCoordinate&) const = default;
};

// Exchanges byte i with byte n-1-i.
void ReverseBytes(std::span<char> bytes);

// The readers take the bytes least significant first, or most significant
// first while state.SwapBytes is set. The record's bytes are left unchanged.
std::int16_t ReadRawInt16(const RawUnitState& state, std::span<const char, 2> bytes);
std::uint32_t ReadRawUInt32(const RawUnitState& state, std::span<const char, 4> bytes);
float ReadRawFloat(const RawUnitState& state, std::span<const char, 4> bytes);
// The 4-byte whole part and the 2-byte thousandths part are each read (and
// reversed) by themselves, never the six bytes as one.
RawCoordinate ReadRawCoordinate(const RawUnitState& state, std::span<const char, 6> bytes);

// In international or US survey feet, as the state says.
long double MetresToFeet(const RawUnitState& state, double metres);

struct ArcSecondParts {
  std::uint16_t degrees = 0;  // more than 65535 degrees lose their high bits
  std::uint32_t minutes = 0;
  std::uint32_t seconds = 0;
  bool operator==(const ArcSecondParts&) const = default;
};
ArcSecondParts SplitArcSeconds(std::uint32_t arcSeconds);

// An angle in seconds of arc: "45.3015" (degrees, minutes, seconds), gon with
// four decimals or mils with three, as the state says.
std::string FormatRawAngle(const RawUnitState& state, std::uint32_t arcSeconds);
// A height or distance in metres: three decimals, or two in feet.
std::string FormatRawDistance(const RawUnitState& state, float metres);
// A coordinate: three decimals in metres, or two in feet.
std::string FormatRawCoordinate(const RawUnitState& state, RawCoordinate coordinate);
// Raw temperature in degrees Fahrenheit: unit 0 whole degrees Celsius,
// unit 1 as received.
std::string FormatTemperature(std::int16_t fahrenheit, int unit);
// Raw pressure in hundredths of an inch of mercury: unit 0 hectopascals,
// unit 1 millimetres of mercury, unit 2 inches of mercury with two decimals.
std::string FormatPressure(std::int16_t hundredthsInHg, int unit);

// A value with exactly `decimals` decimals (the patterns "0.00", "0.000" and
// "0.000000"): an optional minus sign, at least one integer digit, no digit
// grouping, rounded to the nearest with halves away from zero. A value that
// rounds to zero has no sign; not-a-number and infinities read "NAN", "INF"
// and "-INF". Every single-precision value is rounded exactly.
std::string FormatDecimals(float value, int decimals);

}  // namespace lumaq
