#include "records/CellInput.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace lumaq {
namespace {

constexpr int kName = 0, kN = 1, kE = 2, kZ = 3, kCode = 4;

TEST(AcceptTypedChar, FiltersEachColumn) {
  const char everywhere[] = {'0', '9', '.', '-', '\b', '\r', '\x1b', '\x01'};
  const char nowhere[] = {' ', '\xb5', '\xa1', '\x80', '+', '_', ',', '/'};
  const char letters[] = {'A', 'Z', 'a', 'z', 'e', 'E'};
  for (int column : {kName, kN, kE, kZ, kCode}) {
    SCOPED_TRACE(column);
    for (char c : everywhere) EXPECT_TRUE(AcceptTypedChar(column, c)) << int(c);
    for (char c : nowhere) EXPECT_FALSE(AcceptTypedChar(column, c)) << int(c);
    for (char c : letters)
      EXPECT_EQ(AcceptTypedChar(column, c), column == kName || column == kCode) << c;
  }
  EXPECT_EQ(FilterTypedText(kName, "P 1\xb5\xe3-a.b"), "P1-a.b");
  EXPECT_EQ(FilterTypedText(kN, "1a2.5 e-3\xb5"), "12.5-3");
}

TEST(LeadingNumber, ReadsTheLongestLeadingNumber) {
  const std::pair<const char*, double> cases[] = {
      {"12.5.3", 12.5}, {"-", 0}, {"abc", 0}, {"", 0}, {"12abc", 12}, {"-0.25x", -0.25}};
  for (const auto& [text, expected] : cases)
    EXPECT_DOUBLE_EQ(LeadingNumber(text), expected) << text;
}

TEST(CellNumber, ReadsOnlyACellThatIsWhollyANumber) {
  const std::pair<const char*, std::optional<double>> cases[] = {{" 3421000.125 ", 3421000.125},
                                                                 {"-12", -12},
                                                                 {"1E-6", 1e-6},
                                                                 {"+.5", 0.5},
                                                                 {"12.5.3", std::nullopt},
                                                                 {"12m", std::nullopt},
                                                                 {"-", std::nullopt},
                                                                 {"  ", std::nullopt},
                                                                 {"1E999", std::nullopt},
                                                                 {"N/A", std::nullopt}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(CellNumber(text), expected) << text;
}

TEST(FormatGeneralNumber, WritesGeneralForm) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},           {-1e-6, "-1E-6"},
      {1.5e-7, "1.5E-7"}, {0.000012, "0.000012"},
      {0.1, "0.1"},       {123456789012345.0, "123456789012345"},
      {-0.5, "-0.5"},     {100, "100"},
  };
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(FormatGeneralNumber(value), expected) << value;
}

struct LeaveCase {
  int column;
  const char* text;
  bool refused;
  std::optional<std::string> rewritten;
};

void PrintTo(const LeaveCase& c, std::ostream* os) {
  *os << "column " << c.column << " \"" << c.text << "\"";
}

class CheckLeavingCellTest : public testing::TestWithParam<LeaveCase> {};

TEST_P(CheckLeavingCellTest, NormalisesOrRefuses) {
  const LeaveCase& c = GetParam();
  const LeaveCellResult result = CheckLeavingCell(c.column, c.text);
  EXPECT_EQ(result.refused, c.refused);
  EXPECT_EQ(result.text, c.rewritten);
}

INSTANTIATE_TEST_SUITE_P(
    Coordinates, CheckLeavingCellTest,
    testing::Values(
        LeaveCase{kN, "12.500", false, "12.5"}, LeaveCase{kE, "007", false, "7"},
        LeaveCase{kZ, "0.000001", false, "1E-6"}, LeaveCase{kN, "0.00001", false, "0.00001"},
        LeaveCase{kN, "-", false, "0"}, LeaveCase{kE, "12.5.3", false, "12.5"},
        LeaveCase{kZ, "abc", false, "0"}, LeaveCase{kN, " 12.50 ", false, "12.5"},
        LeaveCase{kZ, "-12.50", false, "-12.5"},
        LeaveCase{kN, "1234567.123456789", false, "1234567.12345679"},
        LeaveCase{kN, "10000000", false, "10000000"}, LeaveCase{kE, "-1000000", false, "-1000000"},
        LeaveCase{kN, "-1000000.001", true, std::nullopt},
        LeaveCase{kN, "12345678.9", true, std::nullopt},
        LeaveCase{kZ, "10000000.01", true, std::nullopt}, LeaveCase{kN, "", false, std::nullopt},
        LeaveCase{kE, "  \t", false, std::nullopt}));

INSTANTIATE_TEST_SUITE_P(NamesAndCodes, CheckLeavingCellTest,
                         testing::Values(LeaveCase{kName, "ABCDEFGHIJ", false, "ABCDEFGH"},
                                         LeaveCase{kCode, "ABCDEFGHIJ", false, "ABCDEFGH"},
                                         LeaveCase{kName, "  ABCDEFGHIJ ", false, "ABCDEFGH"},
                                         LeaveCase{kName, "ABCDEFGH", false, std::nullopt},
                                         LeaveCase{kCode, "  ABCDEFGH  ", false, std::nullopt},
                                         LeaveCase{kName, "12.500", false, std::nullopt},
                                         LeaveCase{kName, "", false, std::nullopt}));

}  // namespace
}  // namespace lumaq
