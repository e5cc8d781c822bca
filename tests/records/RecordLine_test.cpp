#include "records/RecordLine.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace lumaq {
namespace {

// TrimControl, and TrimControlInPlace on the text itself, alike.
TEST(TrimControl, RemovesCodesUpTo32AtBothEndsOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {" \t\r\n\x01\x1f", ""},
      {"\x01 P1 \x1f", "P1"},
      {"  a b\tc  ", "a b\tc"},
      {"\xb5\xe3 ", "\xb5\xe3"},  // bytes above 127 are text, not control
      {" \x80", "\x80"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(TrimControl(text), expected) << text;
    std::string inPlace = text;
    TrimControlInPlace(inPlace);
    EXPECT_EQ(inPlace, expected) << text;
  }
}

TEST(ComposeRecordLine, PadsFieldsToTheirColumns) {
  const std::string line = ComposeRecordLine("P1", "C1", "100.000", "200.000", "10.000");
  EXPECT_EQ(line, "P1       C1       100.000     200.000     10.000      ");
  EXPECT_EQ(line.size(), 54u);
  EXPECT_EQ(ComposeRecordLine("", "", "", "", ""), std::string(54, ' '));
  // A longer field is taken whole and shifts the rest.
  EXPECT_EQ(ComposeRecordLine("ABCDEFGHIJ", "C1", "12345678.901", "2.0", "3.0"),
            "ABCDEFGHIJC1       12345678.9012.0         3.0         ");
  // GB2312 bytes pass through unchanged.
  EXPECT_EQ(ComposeRecordLine("\xb5\xe3", "", "1", "2", "3").substr(0, 9), "\xb5\xe3       ");
}

TEST(RecordLineFields, ReadFixedColumnsTrimmed) {
  struct Case {
    const char* label;
    std::string line, name, code, n, e, z;
  } cases[] = {
      {"complete line", ComposeRecordLine("P1", "C1", "100.000", "200.000", "10.000"), "P1", "C1",
       "100.000", "200.000", "10.000"},
      {"20 characters", "P1       C1         ", "P1", "C1", "", "", ""},
      {"empty line", "", "", "", "", "", ""},
      {"ends inside Z", std::string(42, ' ') + "1.5", "", "", "", "", "1.5"},
      {"ends inside N", "P1       C1       12", "P1", "C1", "12", "", ""},
      // A 10-character name shifts every field one column to the right.
      {"10-character name", ComposeRecordLine("ABCDEFGHIJ", "C1", "1.0", "2.0", "3.0"), "ABCDEFGH",
       "JC1", "1.0", "2.0", "3.0"},
      // The 12th character of a coordinate and the 9th of a name are never read.
      {"overlong fields", "NAME12345CODE6789XN2345678901XE2345678901XZ2345678901X", "NAME1234",
       "CODE6789", "N2345678901", "E2345678901", "Z2345678901"},
      {"control characters", "\tP1\x01     C1\r                \n", "P1", "C1", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(RecordLineName(c.line), c.name);
    EXPECT_EQ(RecordLineCode(c.line), c.code);
    EXPECT_EQ(RecordLineN(c.line), c.n);
    EXPECT_EQ(RecordLineE(c.line), c.e);
    EXPECT_EQ(RecordLineZ(c.line), c.z);
  }
}

}  // namespace
}  // namespace lumaq
