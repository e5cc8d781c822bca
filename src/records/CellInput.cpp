#include "records/CellInput.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>

#include "records/RecordLine.h"
#include "records/RecordTable.h"
#include "records/SignificantDigits.h"

namespace lumaq {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsCoordinateColumn(int column) {
  return column >= kColN && column <= kColZ;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// Length of the longest prefix of text that forms a decimal number (sign,
// digits with an optional point, optional exponent), or 0.
std::size_t NumberPrefixLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t intStart = i;
  i = SkipDigits(text, i);
  std::size_t digits = i - intStart;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fracStart = i + 1;
    const std::size_t fracEnd = SkipDigits(text, fracStart);
    digits += fracEnd - fracStart;
    if (digits > 0) i = fracEnd;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t expEnd = SkipDigits(text, j);
    if (expEnd > j) i = expEnd;
  }
  return i;
}

}  // namespace

bool AcceptTypedChar(int column, char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u < 32 || u == 127) return true;
  if (IsDigit(c) || c == '.' || c == '-') return true;
  return !IsCoordinateColumn(column) && IsAsciiLetter(c);
}

std::string FilterTypedText(int column, std::string_view text) {
  std::string accepted;
  for (const char c : text) {
    if (AcceptTypedChar(column, c)) accepted.push_back(c);
  }
  return accepted;
}

double LeadingNumber(std::string_view text) {
  std::string_view number = text.substr(0, NumberPrefixLength(text));
  if (number.empty()) return 0.0;
  const bool negative = number.front() == '-';
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large or too small for a double: only the exponent's sign matters.
    const auto e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    if (tiny) return 0.0;
    const double inf = std::numeric_limits<double>::infinity();
    return negative ? -inf : inf;
  }
  return value;
}

std::optional<double> CellNumber(std::string_view text) {
  const std::string trimmed = TrimControl(text);
  if (trimmed.empty() || NumberPrefixLength(trimmed) != trimmed.size()) return std::nullopt;
  const double value = LeadingNumber(trimmed);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string FormatGeneralNumber(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "0";
  const SignificantDigits parts = FifteenSignificantDigits(value);
  std::string digits = parts.digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = parts.exponent;

  std::string out = parts.negative ? "-" : "";
  if (exponent < -5 || exponent >= 15) {
    out += digits.front();
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const auto intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      out += digits + std::string(intDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
  }
  return out;
}

LeaveCellResult CheckLeavingCell(int column, std::string_view cellText) {
  LeaveCellResult result;
  const std::string trimmed = TrimControl(cellText);
  if (trimmed.empty()) return result;
  if (IsCoordinateColumn(column)) {
    const double value = LeadingNumber(trimmed);
    if (value > kMaxTypedCoordinate || value < kMinTypedCoordinate) {
      result.refused = true;
    } else {
      result.text = FormatGeneralNumber(value);
    }
  } else if (trimmed.size() > 8) {
    result.text = trimmed.substr(0, 8);
  }
  return result;
}

}  // namespace lumaq
