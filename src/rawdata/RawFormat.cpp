#include "rawdata/RawFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace lumaq {
namespace {

// Feet to the metre.
constexpr long double kInternationalFeetPerMetre = 3.280839895013123L;  // 1250/381
constexpr long double kUsSurveyFeetPerMetre = 3.2808333333333244L;      // 3937/1200

// The bytes in the order least significant first.
template <std::size_t N>
std::array<unsigned char, N> InValueOrder(const RawUnitState& state,
                                          std::span<const char, N> bytes) {
  std::array<unsigned char, N> ordered{};
  std::copy(bytes.begin(), bytes.end(), ordered.begin());
  if (state.SwapBytes) std::reverse(ordered.begin(), ordered.end());
  return ordered;
}

template <std::size_t N>
std::uint32_t Assemble(const std::array<unsigned char, N>& ordered) {
  std::uint32_t value = 0;
  for (std::size_t i = N; i-- > 0;) value = (value << 8) | ordered[i];
  return value;
}

std::string Printf(const char* format, auto... values) {
  char buffer[128];
  const int length = std::snprintf(buffer, sizeof buffer, format, values...);
  return std::string(buffer, static_cast<std::size_t>(std::clamp(length, 0, 127)));
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                   1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

}  // namespace

void ReverseBytes(std::span<char> bytes) {
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n / 2; ++i) std::swap(bytes[i], bytes[n - 1 - i]);
}

std::int16_t ReadRawInt16(const RawUnitState& state, std::span<const char, 2> bytes) {
  return static_cast<std::int16_t>(
      static_cast<std::uint16_t>(Assemble(InValueOrder(state, bytes))));
}

std::uint32_t ReadRawUInt32(const RawUnitState& state, std::span<const char, 4> bytes) {
  return Assemble(InValueOrder(state, bytes));
}

float ReadRawFloat(const RawUnitState& state, std::span<const char, 4> bytes) {
  return std::bit_cast<float>(ReadRawUInt32(state, bytes));
}

RawCoordinate ReadRawCoordinate(const RawUnitState& state, std::span<const char, 6> bytes) {
  return {static_cast<std::int32_t>(ReadRawUInt32(state, bytes.first<4>())),
          ReadRawInt16(state, bytes.last<2>())};
}

long double MetresToFeet(const RawUnitState& state, double metres) {
  return metres * (state.UsSurveyFoot ? kUsSurveyFeetPerMetre : kInternationalFeetPerMetre);
}

ArcSecondParts SplitArcSeconds(std::uint32_t arcSeconds) {
  const std::uint32_t minutes = arcSeconds / 60;
  return {static_cast<std::uint16_t>(minutes / 60), minutes % 60, arcSeconds % 60};
}

std::string FormatRawAngle(const RawUnitState& state, std::uint32_t arcSeconds) {
  // Divided as the instrument's own software does: times the reciprocal, in
  // extended precision.
  static constexpr long double kGonPerArcSecond = 1.0L / 3240.0L;
  static constexpr long double kMilsPerArcSecond = 1.0L / 216.0L;
  switch (state.AngleUnit) {
    case kAngleGon:
      return Printf("%.4Lf", static_cast<long double>(arcSeconds) * kGonPerArcSecond);
    case kAngleMil:
      return Printf("%.3Lf", static_cast<long double>(arcSeconds) * kMilsPerArcSecond);
    default: {
      const ArcSecondParts parts = SplitArcSeconds(arcSeconds);
      return Printf("%u.%02u%02u", static_cast<unsigned>(parts.degrees), parts.minutes,
                    parts.seconds);
    }
  }
}

std::string FormatRawDistance(const RawUnitState& state, float metres) {
  if (!state.DistanceInFeet) return FormatDecimals(metres, 3);
  return FormatDecimals(static_cast<float>(MetresToFeet(state, metres)), 2);
}

std::string FormatRawCoordinate(const RawUnitState& state, RawCoordinate coordinate) {
  const int thousandths = coordinate.thousandths;  // widened: -32768 has no int16 opposite
  if (state.DistanceInFeet) {
    const double metres = coordinate.whole + thousandths * 0.001;
    return Printf("%.2f", static_cast<double>(MetresToFeet(state, metres)));
  }
  if (coordinate.whole == 0 && thousandths < 0) return Printf("-0.%03d", -thousandths);
  return Printf("%ld.%03d", static_cast<long>(coordinate.whole), std::abs(thousandths));
}

std::string FormatTemperature(std::int16_t fahrenheit, int unit) {
  if (unit != 0) return std::to_string(fahrenheit);
  double celsius = static_cast<float>((fahrenheit - 32) * 0.5555556);
  if (celsius < 0) celsius -= 0.5;
  if (celsius > 0) celsius += 0.5;
  return std::to_string(static_cast<int>(celsius));
}

std::string FormatPressure(std::int16_t hundredthsInHg, int unit) {
  switch (unit) {
    case 0:
      return std::to_string(static_cast<int>(hundredthsInHg * 0.3386531 + 0.5));
    case 1:
      return std::to_string(static_cast<int>(hundredthsInHg * 0.254 + 0.5));
    default:
      return Printf("%.2f", hundredthsInHg * 0.01);
  }
}

std::string FormatDecimals(float value, int decimals) {
  if (decimals < 0 || decimals > 12)
    throw std::invalid_argument("FormatDecimals: 0 to 12 decimals");
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  // A single has 24 significant bits and 10^12 needs 28 beyond its factor of
  // two, so the scaled value is exact in a double and std::round (halves away
  // from zero) rounds the true value.
  const double scaled = std::round(static_cast<double>(value) * kPowersOfTen[decimals]);
  char buffer[80];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(scaled), std::chars_format::fixed, 0);
  std::string digits(buffer, result.ptr);
  const auto places = static_cast<std::size_t>(decimals);
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  if (places > 0) digits.insert(digits.size() - places, 1, '.');
  if (scaled < 0) digits.insert(0, 1, '-');
  return digits;
}

}  // namespace lumaq
