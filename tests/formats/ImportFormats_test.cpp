#include "formats/ImportFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/RecordPrinters.h"

#include "formats/ExportFormats.h"
#include "records/InputLimits.h"
#include "records/RecordLine.h"
#include "support/ExchangeFormatsByName.h"

namespace lumaq {
namespace {

const RecordFields kTree{"P1", "TREE", "3456.789", "1234.567", "12.300"};

using test::Format;

RecordFields ImportOne(std::string_view format, const std::string& line) {
  const JobText records = ImportRecordLines(Format(format), {line});
  EXPECT_EQ(records.size(), 1u);
  return records.empty() ? RecordFields{} : RecordLineFields(records[0]);
}

struct LineCase {
  std::string_view format;
  const char* line;
  RecordFields expected;
};

class ImportLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ImportLineTest, GivesTheRecord) {
  EXPECT_EQ(ImportOne(GetParam().format, GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ImportLineTest,
    ::testing::Values(
        LineCase{"gts", "P1,1234.567,3456.789,12.300,TREE", kTree},
        LineCase{"sv300", "1,P1,TREE,3456.789,1234.567,12.300", kTree},
        LineCase{"sv300", "777,P1,TREE,3456.789,1234.567,12.300", kTree},
        LineCase{"cass", "P1,TREE,1234.567,3456.789,12.300", kTree},
        LineCase{"csv", R"("P1","3456.789","1234.567","12.300","TREE")", kTree},
        LineCase{"csv", "P1,3456.789,1234.567,12.300,TREE", kTree},
        // Empty coordinates of a CSV line read 0.000; blanks separate as commas do.
        LineCase{"csv", "P1,,,,TREE", {"P1", "TREE", "0.000", "0.000", "0.000"}},
        LineCase{
            "csv", "P1 3456.789 1234.567 12.300", {"P1", "", "3456.789", "1234.567", "12.300"}},
        LineCase{"csv", "  P1 ,  3 ,4", {"P1", "", "3", "4", "0.000"}},
        // The range of the last CASS field excludes its bounds; others include them.
        LineCase{"cass",
                 "P1,TREE,1234.567,3456.789,20000000",
                 {"P1", "TREE", "3456.789", "1234.567", "0"}},
        LineCase{"cass",
                 "P1,TREE,1234.567,10000000,12.3",
                 {"P1", "TREE", "10000000", "1234.567", "12.3"}},
        LineCase{"cass",
                 "P1,TREE,1234.567,3456.789,10000000",
                 {"P1", "TREE", "3456.789", "1234.567", "0"}},
        LineCase{"cass",
                 "P1,TREE,1234.567,3456.789,12.345678901234",
                 {"P1", "TREE", "3456.789", "1234.567", "0"}},
        LineCase{"cass",
                 "P1,TREE,1234.567,3456.7890123456,12.3",
                 {"P1", "TREE", "3456.789012", "1234.567", "12.3"}},
        LineCase{
            "cass", "P 1,TR EE,1 234.5,3 456.7,1 2.3", {"P1", "TREE", "3456.7", "1234.5", "1 2.3"}},
        LineCase{"cass", "ABCDEFGHIJ,TREE,1,2,3", {"ABCDEFGH", "TREE", "2", "1", "3"}},
        // GTS points never range-test E, nor the last field.
        LineCase{"gts",
                 "P1,20000000,3456.789,12.300,TREE",
                 {"P1", "TREE", "3456.789", "20000000", "12.300"}},
        LineCase{
            "gts", "P1,1234.567,3456.789,12.300,", {"P1", "", "3456.789", "1234.567", "12.300"}},
        // A line that fits no layout still gives a record, with no name.
        LineCase{"cass", "", {"", "", "0", "0", "0"}}, LineCase{"gts", "", {"", "", "0", "0", "0"}},
        LineCase{
            "gts", "P1,1234.567,3456.789,12.300", {"P1", "", "3456.789", "1234.567", "12.300"}},
        LineCase{"csv", "", {"", "", "0.000", "0.000", "0.000"}}));

TEST(ImportCsvLine, WritesLongFieldsWholeAndMovesTheColumns) {
  const std::string line = ImportCsvLine("ABCDEFGHIJKL,123456.7890123,2,3,C");
  EXPECT_EQ(line, ComposeRecordLine("ABCDEFGHIJKL", "C", "123456.7890123", "2", "3"));
  // The table then reads whatever stands at the fixed columns.
  EXPECT_EQ(RecordLineName(line), "ABCDEFGH");
  EXPECT_EQ(line.size(), 12u + 9 + 14 + 12 + 12);
}

TEST(ImportSv300, ABadLineIsQuotedByItsFirst80BytesWithControlBytesEscaped) {
  const struct {
    const char* label;
    std::string line;
    std::string quoted;
  } cases[] = {
      {"short", "P1 TREE", "\"P1 TREE\""},
      {"control bytes", std::string("\x01P\x1b[2J\x7f\0", 8), "\"\\x01P\\x1B[2J\\x7F\\x00\""},
      {"exactly 80 bytes", std::string(80, 'A'), "\"" + std::string(80, 'A') + "\""},
      {"a megabyte", "\t" + std::string(1 << 20, 'B'), "\"\\x09" + std::string(79, 'B') + "\"..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    try {
      ImportRecordLines(Format("sv300"), {c.line});
      FAIL() << "the line was imported";
    } catch (const ImportError& error) {
      EXPECT_EQ(error.what(), "第 1 行：SV300 记录行中没有逗号：" + c.quoted);
    }
  }
}

TEST(ImportSv300, ALineWithoutACommaIsAnErrorNamingTheLine) {
  const JobText file{"1,P1,TREE,1,2,3", "", "3,P3,TREE,1,2,3"};
  try {
    ImportRecordLines(Format("sv300"), file);
    FAIL() << "an SV300 line without a comma was imported";
  } catch (const ImportError& error) {
    EXPECT_NE(std::string(error.what()).find("第 2 行"), std::string::npos) << error.what();
  }
}

JobText Scs2002File(std::initializer_list<const char*> lines) {
  return JobText(lines.begin(), lines.end());
}

TEST(ImportScs2002, ReadsFiveLinesPerPointWithThreeDecimals) {
  const JobText records =
      ImportScs2002(Scs2002File({"2", "P1", "TREE", "3456.789", "1234.567", "12.3", " P2 ",
                                 "  C 1 ", "7", "20000000", "-1000000", "E"}));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(RecordLineFields(records[0]), kTree);
  // The name is trimmed, the code taken as it stands; out-of-range values read 0.
  EXPECT_EQ(records[1], ComposeRecordLine("P2", "  C 1 ", "7.000", "0.000", "-1000000.000"));
}

TEST(ImportScs2002, AcceptsOnlyItsOwnShape) {
  struct Case {
    const char* what;
    JobText lines;
    bool accepted;
  } cases[] = {
      {"seven lines", Scs2002File({"1", "P1", "T", "1", "2", "3", "E"}), true},
      {"blanks around count and end", Scs2002File({" 1 ", "P1", "T", "1", "2", "3", " E\t"}), true},
      {"lower-case end", Scs2002File({"1", "P1", "T", "1", "2", "3", "e"}), false},
      {"count with a leading zero", Scs2002File({"01", "P1", "T", "1", "2", "3", "E"}), false},
      {"count with a sign", Scs2002File({"+1", "P1", "T", "1", "2", "3", "E"}), false},
      {"twelve lines counted 3",
       Scs2002File({"3", "P1", "T", "1", "2", "3", "P2", "T", "1", "2", "3", "E"}), false},
      {"five lines", Scs2002File({"1", "P1", "T", "1", "E"}), false},
      {"eight lines", Scs2002File({"1", "P1", "T", "1", "2", "3", "X", "E"}), false},
      {"no lines", JobText{}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.accepted) {
      EXPECT_EQ(ImportScs2002(c.lines).size(), 1u);
    } else {
      EXPECT_THROW(ImportScs2002(c.lines), RejectedImportFile);
    }
  }
}

TEST(FormatFixed3, WritesThreeDecimalsRoundedAsWritten) {
  struct Case {
    double value;
    std::string expected;
  } cases[] = {
      {12.3, "12.300"},
      {7, "7.000"},
      {0, "0.000"},
      {-2.5, "-2.500"},
      {1.0005, "1.001"},
      {3456.7895, "3456.790"},
      {-1.0005, "-1.001"},
      {0.0005, "0.001"},
      {-0.0004, "0.000"},
      {1e-20, "0.000"},
      {10000000, "10000000.000"},
      {-1000000, "-1000000.000"},
      {1234.5674999, "1234.567"},
      // Past every coordinate, up to the largest double: its 15 digits.
      {123456789012.3456, "123456789012.346"},
      {9.3e15, "9300000000000000.000"},
      {-1e20, "-100000000000000000000.000"},
      {1.7976931348623157e308, "179769313486232" + std::string(294, '0') + ".000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FormatFixed3(c.value), c.expected);
  }
}

std::string CassLine(int i) {
  return "P" + std::to_string(i) + ",C," + std::to_string(i) + ".5,2,3";
}

TEST(ImportRecordLines, KeepsTheFirst15998LinesAndTheLast) {
  for (const int fileLines : {15999, 16000, 20000}) {
    SCOPED_TRACE(fileLines);
    JobText file;
    for (int i = 1; i <= fileLines; ++i) file.push_back(CassLine(i));
    const JobText records = ImportRecordLines(Format("cass"), file);
    ASSERT_EQ(records.size(), 15999u);
    EXPECT_EQ(RecordLineName(records[15997]), "P15998");
    EXPECT_EQ(RecordLineName(records[15998]), "P" + std::to_string(fileLines));
  }
}

TEST(ImportScs2002, KeepsTheFirst15998RecordsAndTheLast) {
  JobText file{"16001"};
  for (int i = 1; i <= 16001; ++i) {
    for (const std::string& line : {"P" + std::to_string(i), std::string("C"), std::string("1"),
                                    std::string("2"), std::string("3")}) {
      file.push_back(line);
    }
  }
  file.push_back("E");
  const JobText records = ImportScs2002(file);
  ASSERT_EQ(records.size(), 15999u);
  EXPECT_EQ(RecordLineName(records[15997]), "P15998");
  EXPECT_EQ(RecordLineName(records[15998]), "P16001");
}

// The bytes of a file of n CASS lines.
std::string CassFile(int lines) {
  std::string bytes;
  for (int i = 1; i <= lines; ++i) bytes += CassLine(i) + "\r\n";
  return bytes;
}

TEST(ImportBytes, ReadsAsImportRecordLinesAndCountsTheRecordsLeftOut) {
  for (const int fileLines : {3, 15999, 16000, 20000}) {
    SCOPED_TRACE(fileLines);
    const std::string bytes = CassFile(fileLines);
    const ImportedRecords imported = ImportBytes(Format("cass"), bytes);
    EXPECT_EQ(imported.records, ImportRecordLines(Format("cass"), SplitTextLines(bytes)));
    EXPECT_EQ(imported.leftOut, static_cast<std::size_t>(std::max(0, fileLines - 15999)));
  }
  std::string scs = "16001\r\n";
  for (int i = 1; i <= 16001; ++i) scs += "P" + std::to_string(i) + "\r\nC\r\n1\r\n2\r\n3\r\n";
  scs += "E\r\n";
  const ImportedRecords imported = ImportBytes(Format("scs2002"), scs);
  EXPECT_EQ(imported.records, ImportScs2002(SplitTextLines(scs)));
  EXPECT_EQ(imported.leftOut, 2u);
}

TEST(ImportBytes, AFileWithANulByteIsRejectedAsNotOfTheFormat) {
  const std::string nul(1, '\0');
  for (const ExchangeFormat* format : FormatsToImport()) {
    if (format->reader.path != nullptr) continue;  // read by GDAL from the file
    for (const std::string& bytes :
         {"P1,C,1,2,3\r\n" + nul + "\r\n", CassFile(17000) + nul, nul + CassFile(2)}) {
      SCOPED_TRACE(format->name);
      try {
        ImportBytes(*format, bytes);
        FAIL() << "a file with a NUL byte was imported";
      } catch (const RejectedImportFile& error) {
        EXPECT_STREQ(error.what(), kFormatMismatchMessage);
      }
    }
  }
}

// What an import of bytes gives: the records kept and left out, or the fault.
std::string ImportOutcome(std::string_view format, const std::string& bytes) {
  try {
    const ImportedRecords imported = ImportBytes(Format(format), bytes);
    return std::to_string(imported.records.size()) + " kept, " + std::to_string(imported.leftOut) +
           " left out";
  } catch (const RejectedImportFile& error) {
    return std::string("rejected: ") + error.what();
  } catch (const ImportError& error) {
    return std::string("error: ") + error.what();
  }
}

// Read line by line, a file's faults still come in the order of a file read
// whole: the NUL byte and the shape first, then the first kept line that
// cannot be taken apart; lines left out are never taken apart.
TEST(ImportBytes, FaultsComeAsFromTheWholeFile) {
  std::string sv300;
  for (int i = 1; i <= 15998; ++i) sv300 += std::to_string(i) + "," + CassLine(i) + "\r\n";
  std::string scs = "16000\r\n";
  for (int i = 1; i <= 16001; ++i) scs += "P" + std::to_string(i) + "\r\nC\r\n1\r\n2\r\n3\r\n";
  const struct {
    const char* label;
    std::string_view format;
    std::string bytes;
    std::string outcome;
  } cases[] = {
      {"a NUL byte after a bad line", "sv300", "1,P1,C,1,2,3\r\nbad\r\n" + std::string(1, '\0'),
       std::string("rejected: ") + kFormatMismatchMessage},
      {"bad lines past those kept", "sv300", sv300 + "bad\r\nbad\r\n9,P9,C,1,2,3",
       "15999 kept, 2 left out"},
      {"a bad last line of a long file", "sv300", sv300 + "1,P1,C,1,2,3\r\nbad",
       "error: 第 16000 行：SV300 记录行中没有逗号：\"bad\""},
      {"a long SCS2002 file counted wrong", "scs2002", scs + "E",
       std::string("rejected: ") + kFormatMismatchMessage},
      {"a long SCS2002 file without its end line", "scs2002", "16001\r\n" + scs.substr(7),
       std::string("rejected: ") + kFormatMismatchMessage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(ImportOutcome(c.format, c.bytes), c.outcome);
  }
}

TEST(ImportBytes, ALineOverOneMegabyteIsAnInputError) {
  const std::string bytes = "P1,C,1,2,3\r\n" + std::string(kMaxLineBytes + 1, '1');
  EXPECT_THROW(ImportBytes(Format("csv"), bytes), OversizedInput);
}

}  // namespace
}  // namespace lumaq
