#include "rawdata/RawFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string_view>

namespace lumaq {
namespace {

// Feet to the metre.
constexpr long double kInternationalFeetPerMetre = 3.280839895013123L;  // 1250/381
constexpr long double kUsSurveyFeetPerMetre = 3.2808333333333244L;      // 3937/1200

// The value of N bytes, most significant first while SwapBytes is set, least
// significant first otherwise.
template <std::size_t N>
std::uint32_t Assemble(const RawUnitState& state, std::span<const char, N> bytes) {
  std::uint32_t value = 0;
  for (std::size_t k = 0; k < N; ++k) {
    const std::size_t i = state.SwapBytes ? k : N - 1 - k;
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  }
  return value;
}

std::string Printf(const char* format, auto... values) {
  char buffer[128];
  const int length = std::snprintf(buffer, sizeof buffer, format, values...);
  return std::string(buffer, static_cast<std::size_t>(std::clamp(length, 0, 127)));
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                   1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// Numbers are written here with to_chars into a buffer on the stack, not
// with printf: a measurement file has hundreds of thousands of them.
class NumberText {
 public:
  void Put(char c) {
    if (size_ < sizeof bytes_) bytes_[size_++] = c;
  }
  template <typename Integer>
  void Put(Integer value) {
    const auto result = std::to_chars(bytes_ + size_, bytes_ + sizeof bytes_, value);
    size_ = static_cast<std::size_t>(result.ptr - bytes_);
  }
  // value with at least two digits, as "%02u" writes it.
  void PutTwoDigits(std::uint32_t value) {
    if (value < 10) Put('0');
    Put(value);
  }
  std::string_view View() const { return std::string_view(bytes_, size_); }
  std::string Text() const { return std::string(View()); }

 private:
  char bytes_[96];
  std::size_t size_ = 0;
};

// digits, the decimal digits of a whole number of units of 10^-places, as a
// number with that many decimals: "12345" with 3 places is "12.345", "5" is
// "0.005".
std::string WithDecimalPoint(bool negative, std::string_view digits, std::size_t places) {
  // Zeros in front up to one digit before the point.
  const std::size_t shown = std::max(digits.size(), places + 1);
  const std::size_t zeros = shown - digits.size();
  char text[128];
  std::size_t size = 0;
  if (negative) text[size++] = '-';
  for (std::size_t k = 0; k < shown && size + 2 <= sizeof text; ++k) {
    if (k == shown - places) text[size++] = '.';
    text[size++] = k < zeros ? '0' : digits[k - zeros];
  }
  return std::string(text, size);
}

// The same for a whole number below 2^64 (the usual case, written from the
// last digit back).
std::string WithDecimalPoint(bool negative, std::uint64_t units, std::size_t places) {
  char text[40];
  char* const end = text + sizeof text;
  char* first = end;
  for (std::size_t k = 0; k < places; ++k, units /= 10)
    *--first = static_cast<char>('0' + units % 10);
  if (places > 0) *--first = '.';
  do {
    *--first = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units > 0);
  if (negative) *--first = '-';
  return std::string(first, end);
}

}  // namespace

void ReverseBytes(std::span<char> bytes) {
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n / 2; ++i) std::swap(bytes[i], bytes[n - 1 - i]);
}

std::int16_t ReadRawInt16(const RawUnitState& state, std::span<const char, 2> bytes) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(Assemble(state, bytes)));
}

std::uint32_t ReadRawUInt32(const RawUnitState& state, std::span<const char, 4> bytes) {
  return Assemble(state, bytes);
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
      NumberText text;
      text.Put(static_cast<unsigned>(parts.degrees));
      text.Put('.');
      text.PutTwoDigits(parts.minutes);
      text.PutTwoDigits(parts.seconds);
      return text.Text();
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
  // Whole metres with their sign, then the thousandths' digits ("%ld.%03d").
  NumberText text;
  if (coordinate.whole == 0 && thousandths < 0) text.Put('-');
  text.Put(coordinate.whole);
  text.Put('.');
  const int fraction = std::abs(thousandths);
  if (fraction < 100) text.Put('0');
  if (fraction < 10) text.Put('0');
  text.Put(fraction);
  return text.Text();
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
  const double magnitude = std::fabs(scaled);
  const auto places = static_cast<std::size_t>(decimals);
  if (magnitude < 9.2e18)
    return WithDecimalPoint(scaled < 0, static_cast<std::uint64_t>(magnitude), places);
  char buffer[80];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 0);
  return WithDecimalPoint(scaled < 0, std::string_view(buffer, result.ptr), places);
}

}  // namespace lumaq
