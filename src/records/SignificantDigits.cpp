#include "records/SignificantDigits.h"

#include <charconv>
#include <cstddef>
#include <string_view>

namespace lumaq {

SignificantDigits FifteenSignificantDigits(double value) {
  char buffer[64];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
  SignificantDigits result;
  result.negative = text.front() == '-';
  const std::size_t e = text.find('e');
  for (const char c : text.substr(0, e)) {
    if (c >= '0' && c <= '9') result.digits.push_back(c);
  }
  const std::string_view exponent = text.substr(e + 1);
  std::from_chars(exponent.data() + (exponent.front() == '+' ? 1 : 0),
                  exponent.data() + exponent.size(), result.exponent);
  return result;
}

}  // namespace lumaq
