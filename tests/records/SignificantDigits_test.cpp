#include "records/SignificantDigits.h"

#include <gtest/gtest.h>

namespace lumaq {
namespace {

TEST(FifteenSignificantDigits, TakesTheWrittenNumberApart) {
  struct Case {
    const char* label;
    double value;
    bool negative;
    const char* digits;
    int exponent;
  } cases[] = {
      {"zero", 0.0, false, "000000000000000", 0},
      {"negative zero keeps its sign", -0.0, true, "000000000000000", 0},
      {"a coordinate", 3456.789, false, "345678900000000", 3},
      {"a negative fraction", -0.0125, true, "125000000000000", -2},
      {"rounded in the fifteenth digit", 0.1 + 0.2, false, "300000000000000", -1},
      {"sixteen nines carry into the exponent", 9.9999999999999999, false, "100000000000000", 1},
      {"a three-digit exponent", 1.5e-300, false, "150000000000000", -300},
      {"large", 1.23456789012345e20, false, "123456789012345", 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const SignificantDigits parts = FifteenSignificantDigits(c.value);
    EXPECT_EQ(parts.negative, c.negative);
    EXPECT_EQ(parts.digits, c.digits);
    EXPECT_EQ(parts.exponent, c.exponent);
  }
}

}  // namespace
}  // namespace lumaq
