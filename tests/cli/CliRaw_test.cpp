// lumaq-cli text and polar, run as a surveyor runs them, against what the
// program shows and exports for the same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "rawdata/PolarLines.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"
#include "support/ChildProcess.h"
#include "support/HeadlessWindow.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::BsRecord;
using test::CliResult;
using test::DistRecord;
using test::InstRecord;
using test::RawRecordBuilder;
using test::StnRecord;
using test::TempDir;
using test::UnitRecord;

class CliRawTest : public ::testing::Test {
 protected:
  void SetUp() override { ProcessRawUnitState().Reset(); }
  void TearDown() override { ProcessRawUnitState().Reset(); }

  static CliResult Run(const std::vector<std::string>& arguments) {
    return test::RunCli(arguments);
  }

  // The file opened in the program: the text it shows, and what its polar
  // export writes right afterwards.
  void OpenInProgram(const std::string& path, JobText& shown, std::string& polarFile) {
    test::HeadlessWindow window(dir.Folder());
    window.commands.StartUp({});
    window.dialogs.NextOpenAnswer(FileChoice{path, 2});
    window.commands.MenuJobOpenClick();
    shown = window.view.shownText;
    JobText polar;
    BuildPolarLines(ProcessRawUnitState(), window.job.RawRecordBuffer, polar);
    polarFile = JoinLinesCrLf(polar);
  }

  // A field job from a listed instrument in international feet and gon.
  std::string FieldJob() const {
    return InstRecord(std::string(kMostSignificantByteFirstModels[0])) +
           std::string(RawRecordBuilder(0x82).Bytes(1, "ROAD7")) + UnitRecord(1, 1) +
           StnRecord("S1", "\xB2\xE2\xD5\xBE", 1.6f, 100, 200, 10, 1) +  // 测站
           BsRecord("B1", 1.5f, 150, 250, 11, 1) +
           DistRecord("P1", "TREE", 1.5f, 123.4567f, 324000, 163815, 1) +
           StnRecord("S2", "", 1.5f, 300, 400, 12, 2) +
           DistRecord("P2", "", 1.4f, 50.0f, 320000, 1000, 2) +
           DistRecord("P3", "", 1.5f, 10.0f, 324000, 0, 1);
  }

  TempDir dir;
};

TEST_F(CliRawTest, TextPrintsExactlyTheLinesTheProgramShows) {
  const std::string in = dir.Write("FIELD.TSM", FieldJob());
  JobText shown;
  std::string polarFile;
  OpenInProgram(in, shown, polarFile);
  ASSERT_EQ(shown.size(), 10u);
  EXPECT_EQ(shown[1], "JOB:  ROAD7");
  EXPECT_EQ(shown[3], "EDM:  20,1013,0,0,-30,1.000000");
  EXPECT_EQ(shown[4], "STN:  S1,5.25,328.08,656.17,32.81,\xB2\xE2\xD5\xBE");
  EXPECT_EQ(shown[6], "DIST: P1,4.92,50.5602,100.0000,405.04,TREE");
  const std::string expected = JoinLinesCrLf(shown);

  const CliResult toFile = Run({"text", in, dir.Path("OUT.TXT")});
  EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.TXT")), expected);

  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"text", in}, std::vector<std::string>{"text", in, "-"}}) {
    SCOPED_TRACE(arguments.size() == 2 ? "no OUT" : "OUT -");
    const CliResult toStdout = Run(arguments);
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, expected);
  }
}

TEST_F(CliRawTest, PolarWritesTheExportFileByteForByte) {
  const std::string in = dir.Write("FIELD.TSM", FieldJob());
  JobText shown;
  std::string polarFile;
  OpenInProgram(in, shown, polarFile);
  EXPECT_EQ(polarFile,
            "S1,5.25,656.17,328.08,32.81,\xB2\xE2\xD5\xBE\r\n"
            "B1,4.92,820.21,492.13,36.09\r\n"
            "P1,4.92,405.04,50.5602,100.0000,TREE\r\n"
            "P3,4.92,32.81,0.0000,100.0000\r\n"
            "\r\n"
            "S2,4.92,1312.34,984.25,39.37\r\n"
            "P2,4.59,164.04,0.3086,98.7654\r\n");

  const CliResult result = Run({"polar", in, dir.Path("OUT.dat")});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.dat")), polarFile);
}

TEST_F(CliRawTest, EmptyAndStationlessFiles) {
  const std::string empty = dir.Write("EMPTY.TSM", "");
  const CliResult text = Run({"text", empty});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out, "");

  const std::string noStation =
      dir.Write("NOSTN.TSM", InstRecord("ABC123") + DistRecord("P1", "", 1, 1, 1, 1, 1, false));
  const CliResult polar = Run({"polar", noStation, dir.Path("N.dat")});
  EXPECT_EQ(polar.exitCode, 0) << polar.err;
  EXPECT_TRUE(std::filesystem::exists(dir.Path("N.dat")));
  EXPECT_EQ(ReadFileBytes(dir.Path("N.dat")), "");
}

TEST_F(CliRawTest, FailuresExitWithTheirCodeAndLeaveOutAlone) {
  const std::string out = dir.Write("OUT.TXT", "old");
  const std::string odd = dir.Write("ODD.TSM", FieldJob() + "x");
  const std::string bad = dir.Write("BAD.TSM", UnitRecord(0, 0) + InstRecord("ABC123"));
  struct Case {
    const char* label;
    std::vector<std::string> arguments;
    int exitCode;
  } cases[] = {
      {"size not a multiple of 42", {"text", odd, out}, 2},
      {"first record not an instrument record", {"polar", bad, out}, 2},
      {"missing file", {"text", dir.Path("NONE.TSM"), out}, 1},
      {"text without IN", {"text"}, 2},
      {"text with three arguments", {"text", odd, "a", "b"}, 2},
      {"polar without OUT", {"polar", odd}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const CliResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(ReadFileBytes(out), "old");
  }
}

}  // namespace
}  // namespace lumaq
