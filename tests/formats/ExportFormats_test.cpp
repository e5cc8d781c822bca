#include "formats/ExportFormats.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ExchangeFormatsByName.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::FileSizeLimit;
using test::Format;
using test::TempDir;

const std::string kTreeLine = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");
const std::string kNoCodeLine = ComposeRecordLine("P1", "", "3456.789", "1234.567", "12.300");

std::string Export(const JobText& lines, std::string_view format,
                   const UserFormat& user = FallbackUserFormat()) {
  std::string bytes;
  WriteRecords(lines, Format(format), {user}, [&bytes](std::string_view piece) { bytes += piece; });
  return bytes;
}

const std::string kDxfRecord =
    "0\r\nPOINT\r\n8\r\npoint\r\n10\r\n1234.567\r\n20\r\n3456.789\r\n30\r\n12.300\r\n"
    "0\r\nTEXT\r\n8\r\nPT#\r\n10\r\n1234.567\r\n20\r\n3456.789\r\n30\r\n12.300\r\n"
    "40\r\n0.2\r\n1\r\nP1\r\n";

struct OutputCase {
  const char* what;
  std::string line;
  std::string_view format;
  std::string expected;
};

class SingleRecordTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(SingleRecordTest, WritesTheExactBytes) {
  EXPECT_EQ(Export({GetParam().line}, GetParam().format), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SingleRecordTest,
    ::testing::Values(
        OutputCase{"gts", kTreeLine, "gts", "P1,1234.567,3456.789,12.300,TREE\r\n"},
        OutputCase{"scs2002", kTreeLine, "scs2002",
                   "1\r\nP1\r\nTREE\r\n3456.789\r\n1234.567\r\n12.300\r\nE"},
        OutputCase{"sv300", kTreeLine, "sv300", "1,P1,TREE,3456.789,1234.567,12.300\r\n"},
        OutputCase{"cass", kTreeLine, "cass", "P1,TREE,1234.567,3456.789,12.300\r\n"},
        OutputCase{"csv", kTreeLine, "csv",
                   "\"P1\",\"3456.789\",\"1234.567\",\"12.300\",\"TREE\"\r\n"},
        OutputCase{"dxf", kTreeLine, "dxf",
                   "0\r\nSECTION\r\n2\r\nENTITIES\r\n" + kDxfRecord + "0\r\nENDSEC\r\n0\r\nEOF"},
        OutputCase{"user", kTreeLine, "user", "P1,3456.789,1234.567,12.300,TREE\r\n"},
        OutputCase{"gts no code", kNoCodeLine, "gts", "P1,1234.567,3456.789,12.300,\r\n"},
        OutputCase{"scs2002 no code", kNoCodeLine, "scs2002",
                   "1\r\nP1\r\n\r\n3456.789\r\n1234.567\r\n12.300\r\nE"},
        OutputCase{"sv300 no code", kNoCodeLine, "sv300", "1,P1,,3456.789,1234.567,12.300\r\n"},
        OutputCase{"cass no code", kNoCodeLine, "cass", "P1,,1234.567,3456.789,12.300\r\n"},
        OutputCase{"csv no code", kNoCodeLine, "csv",
                   "\"P1\",\"3456.789\",\"1234.567\",\"12.300\"\r\n"},
        OutputCase{"dxf no code", kNoCodeLine, "dxf",
                   "0\r\nSECTION\r\n2\r\nENTITIES\r\n" + kDxfRecord + "0\r\nENDSEC\r\n0\r\nEOF"},
        OutputCase{"user no code", kNoCodeLine, "user", "P1,3456.789,1234.567,12.300\r\n"},
        // Quotes inside a CSV field are written as they are.
        OutputCase{"csv quote", ComposeRecordLine("P\"1", "A\"B", "1", "2", "3"), "csv",
                   "\"P\"1\",\"1\",\"2\",\"3\",\"A\"B\"\r\n"}),
    [](const auto& test) {
      std::string name = test.param.what;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

UserFormat Layout(std::array<int, 5> order, bool serial) {
  UserFormat user = FallbackUserFormat();
  user.order = order;
  user.serialNumbers = serial;
  return user;
}

TEST(UserFormatRecord, FollowsTheStoredOrderUnchecked) {
  struct Case {
    const char* what;
    UserFormat user;
    std::string line;
    const char* expected;
  } cases[] = {
      {"code first, numbered", Layout({4, 0, 1, 2, 3}, true), kTreeLine,
       "1,TREE,P1,3456.789,1234.567,12.300\r\n"},
      {"empty code first", Layout({4, 0, 1, 2, 3}, true), kNoCodeLine,
       "1,,P1,3456.789,1234.567,12.300\r\n"},
      {"name five times", Layout({0, 0, 0, 0, 0}, false), kTreeLine, "P1,P1,P1,P1,P1\r\n"},
      {"000001", Layout({0, 0, 0, 0, 0}, true), kTreeLine, "1,P1,P1,P1,P1,P1\r\n"},
      {"no code, fifth empty", Layout({3, 1, 2, 0, 4}, false), kNoCodeLine,
       "12.300,3456.789,1234.567,P1\r\n"},
      {"empty among the first four", Layout({4, 4, 0, 0, 1}, false), kNoCodeLine,
       ",,P1,P1,3456.789\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Export({c.line}, "user", c.user), c.expected);
  }
}

TEST(WriteRecords, AJobWithoutRecords) {
  for (const ExchangeFormat* format : FormatsToExport(RecordKind::kCoordinateRecords)) {
    // The GIS formats write files whole: tests/cli/CliGis_test.cpp.
    if (format->writer.record == nullptr) continue;
    SCOPED_TRACE(format->name);
    EXPECT_EQ(
        Export({}, format->name),
        format->name == "dxf" ? "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nENDSEC\r\n0\r\nEOF" : "");
  }
}

TEST(WriteRecords, NumbersRecordsByPositionAndEndsScs2002AfterTheLast) {
  const JobText lines{kTreeLine, ComposeRecordLine("P2", "", "1", "2", "3"),
                      ComposeRecordLine("P3", "C", "4", "5", "6")};
  EXPECT_EQ(Export(lines, "sv300"),
            "1,P1,TREE,3456.789,1234.567,12.300\r\n2,P2,,1,2,3\r\n3,P3,C,4,5,6\r\n");
  const JobText scs = SplitTextLines(Export(lines, "scs2002"));
  EXPECT_EQ(scs.size(), 17u);
  EXPECT_EQ(scs.front(), "3");
  EXPECT_EQ(scs.back(), "E");
}

TEST(ExportRecordsToFile, ReplacesAFileOnlyWhenComplete) {
  TempDir dir;
  const std::string path = dir.Write("OUT.pts", "old bytes");
  const JobText lines(2000, kTreeLine);
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(ExportRecordsToFile(lines, Format("dxf"), {}, path), FileError);
  }
  EXPECT_EQ(ReadFileBytes(path), "old bytes");
  EXPECT_THROW(ExportRecordsToFile(lines, Format("cass"), {}, dir.Path("missing/OUT.pts")),
               FileError);
  // Nothing is left behind beside the file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), {}), 1);

  ExportRecordsToFile(lines, Format("cass"), {}, path);
  EXPECT_EQ(ReadFileBytes(path), Export(lines, "cass"));
}

// Records written by one format and read back by the same format's import.
TEST(RoundTrip, EveryImportFormatReadsBackWhatExportWrote) {
  const JobText records{
      kTreeLine,
      ComposeRecordLine("P2", "", "-10.500", "20.250", "0.000"),
      ComposeRecordLine("A-1.B", "WALL.2", "9999999.999", "-999999.999", "-12.345"),
      ComposeRecordLine("12345678", "ABCDEFGH", "0.001", "100.000", "1.000"),
  };
  for (const std::string_view format : {"gts", "scs2002", "sv300", "cass", "csv"}) {
    SCOPED_TRACE(format);
    const std::string file = Export(records, format);
    EXPECT_EQ(ImportRecordLines(Format(format), SplitTextLines(file)), records);
  }
}

}  // namespace
}  // namespace lumaq
