// A number taken apart as it is written with 15 significant digits
// (d.dddddddddddddde±x), the precision in which the program writes numbers.
#pragma once

#include <string>

namespace lumaq {

struct SignificantDigits {
  bool negative = false;  // the sign of the value, -0.0 included
  std::string digits;     // 15 digits, rounded to the nearest (ties to even)
  int exponent = 0;       // the power of ten of the first digit
};

// The sign, digits and exponent of a finite value; 0 gives 15 zeros and
// exponent 0.
SignificantDigits FifteenSignificantDigits(double value);

}  // namespace lumaq
