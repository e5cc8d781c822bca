#include "records/FieldSplit.h"

#include <gtest/gtest.h>

#include "support/RecordPrinters.h"

namespace lumaq {
namespace {

struct FixedCase {
  const char* line;
  FixedLayout layout;
  RecordFields expected;
};

void PrintTo(const FixedCase& c, std::ostream* out) {
  *out << '"' << c.line << '"';
}

class SplitFixedFieldsTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(SplitFixedFieldsTest, GivesTheFiveFields) {
  EXPECT_EQ(SplitFixedFields(GetParam().line, GetParam().layout), GetParam().expected);
}

const RecordFields kTree{"P1", "TREE", "3456.789", "1234.567", "12.300"};

INSTANTIATE_TEST_SUITE_P(
    Layouts, SplitFixedFieldsTest,
    ::testing::Values(
        FixedCase{"P1,1234.567,3456.789,12.300,TREE", FixedLayout::kGtsPoints, kTree},
        FixedCase{"P1,TREE,3456.789,1234.567,12.300", FixedLayout::kSv300, kTree},
        FixedCase{"P1,TREE,1234.567,3456.789,12.300", FixedLayout::kCass, kTree},
        FixedCase{"P1,TREE,3456.789,1234.567,12.300", FixedLayout::kReceivedCoordinateLine, kTree},
        // A last coordinate is range-tested with its bounds excluded...
        FixedCase{"P1,TREE,1234.567,3456.789,20000000",
                  FixedLayout::kCass,
                  {"P1", "TREE", "3456.789", "1234.567", "0"}},
        FixedCase{"P1,TREE,1234.567,3456.789,10000000",
                  FixedLayout::kCass,
                  {"P1", "TREE", "3456.789", "1234.567", "0"}},
        FixedCase{"P1,TREE,1234.567,3456.789,-1000000",
                  FixedLayout::kCass,
                  {"P1", "TREE", "3456.789", "1234.567", "0"}},
        // ...one followed by a comma with its bounds included.
        FixedCase{"P1,TREE,1234.567,10000000,12.3",
                  FixedLayout::kCass,
                  {"P1", "TREE", "10000000", "1234.567", "12.3"}},
        FixedCase{"P1,TREE,1234.567,-1000000.01,12.3",
                  FixedLayout::kCass,
                  {"P1", "TREE", "0", "1234.567", "12.3"}},
        // A last field longer than its width is missing; others are cut.
        FixedCase{"P1,TREE,1234.567,3456.789,12.345678901234",
                  FixedLayout::kCass,
                  {"P1", "TREE", "3456.789", "1234.567", "0"}},
        FixedCase{"P1,TREE,1234.567,3456.7890123456,1",
                  FixedLayout::kCass,
                  {"P1", "TREE", "3456.789012", "1234.567", "1"}},
        FixedCase{"ABCDEFGHIJ,TREE,1,2,3", FixedLayout::kCass, {"ABCDEFGH", "TREE", "2", "1", "3"}},
        // Blanks go from fields followed by a comma only.
        FixedCase{"P 1,TR EE,1 234.5,3 456.7,1 2.3",
                  FixedLayout::kCass,
                  {"P1", "TREE", "3456.7", "1234.5", "1 2.3"}},
        // E is never range-tested in GTS points, nor is its last field.
        FixedCase{"P1,20000000,3456.789,12.300,TREE",
                  FixedLayout::kGtsPoints,
                  {"P1", "TREE", "3456.789", "20000000", "12.300"}},
        FixedCase{"P1,1,2,3,99999999", FixedLayout::kGtsPoints, {"P1", "99999999", "2", "1", "3"}},
        // Missing fields, and texts that are no number.
        FixedCase{"P1", FixedLayout::kCass, {"P1", "", "0", "0", "0"}},
        // A GTS points line without its code has an empty code, and a
        // missing E reads 0 like the other coordinates.
        FixedCase{"P1,1,2,3", FixedLayout::kGtsPoints, {"P1", "", "2", "1", "3"}},
        FixedCase{"P1", FixedLayout::kGtsPoints, {"P1", "", "0", "0", "0"}},
        FixedCase{"", FixedLayout::kSv300, {"", "", "0", "0", "0"}},
        FixedCase{"P1,C,abc,1,2", FixedLayout::kSv300, {"P1", "C", "abc", "1", "2"}},
        FixedCase{"P1,C,1,2,3,4,5", FixedLayout::kSv300, {"P1", "C", "1", "2", "3"}}));

TEST(SplitCommaTextTest, QuotesBlanksAndCommas) {
  using Texts = std::vector<std::string>;
  struct Case {
    const char* line;
    Texts expected;
  } cases[] = {
      {R"("P1","3456.789","1234.567","12.300","TREE")",
       {"P1", "3456.789", "1234.567", "12.300", "TREE"}},
      {"P1 3456.789 1234.567 12.300", {"P1", "3456.789", "1234.567", "12.300"}},
      {"P1,,,,TREE", {"P1", "", "", "", "TREE"}},
      {"  a , b ,", {"a", "b"}},
      {",a", {"", "a"}},
      {R"("say ""hi""",x)", {"say \"hi\"", "x"}},
      {R"("a b"c)", {"a b", "c"}},
      {R"("open)", {"open"}},
      {"\xB5\xE3,\xB5\xE3 1", {"\xB5\xE3", "\xB5\xE3", "1"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommaText(c.line), c.expected);
  }
}

TEST(ReadNumberTest, SkipsLeadingBlanksAndReadsTheLongestNumber) {
  EXPECT_DOUBLE_EQ(ReadNumber("  12.5abc"), 12.5);
  EXPECT_DOUBLE_EQ(ReadNumber("1e3x"), 1000.0);
  EXPECT_DOUBLE_EQ(ReadNumber("-"), 0.0);
  EXPECT_DOUBLE_EQ(ReadNumber("x12"), 0.0);
}

}  // namespace
}  // namespace lumaq
