#include "records/TextLines.h"

#include <gtest/gtest.h>

namespace lumaq {
namespace {

TEST(SplitTextLines, EndsLinesAtCrLfLoneCrOrLoneLf) {
  struct Case {
    const char* label;
    std::string text;
    JobText expected;
  } cases[] = {
      {"empty", "", {}},
      {"no break", "a", {"a"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"lone CR", "a\rb\r", {"a", "b"}},
      {"lone LF", "a\nb", {"a", "b"}},
      {"mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"empty line before final break", "a\r\n\r\n", {"a", ""}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"CR before CR LF", "a\r\r\nb", {"a", "", "b"}},
      {"only a break", "\r\n", {""}},
      {"leading breaks", "\n\nx", {"", "", "x"}},
      {"GB2312 bytes kept", "\xb5\xe3\xba\xc5\r\n", {"\xb5\xe3\xba\xc5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(SplitTextLines(c.text), c.expected);
  }
}

TEST(JoinLinesCrLf, FollowsEveryLineWithCrLf) {
  EXPECT_EQ(JoinLinesCrLf({}), "");
  EXPECT_EQ(JoinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  const JobText lines{"P1       C1", "", "\xb5\xe3"};
  EXPECT_EQ(SplitTextLines(JoinLinesCrLf(lines)), lines);
}

}  // namespace
}  // namespace lumaq
