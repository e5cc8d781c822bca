// lumaq-cli import and export, run as a surveyor's script would run them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/ExportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ChildProcess.h"
#include "support/ExchangeFormatsByName.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::CliResult;
using test::TempDir;

class CliTest : public ::testing::Test {
 protected:
  // Runs lumaq-cli with the arguments in the test's folder.
  CliResult Run(const std::vector<std::string>& arguments) {
    test::CliRun run;
    run.workingFolder = dir.Folder();
    return test::RunCli(arguments, run);
  }

  TempDir dir;
};

const std::string kTree = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");
const std::string kSecond = ComposeRecordLine("P2", "", "-10.500", "20.250", "0.000");

TEST_F(CliTest, ImportWritesTheJobTextAsABdtFile) {
  dir.Write("in.dat", "P1,TREE,1234.567,3456.789,12.300\r\nP2,,20.250,-10.500,0.000");
  const CliResult result = Run({"import", "cass", "in.dat", "OUT.BDT"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.BDT")), JoinLinesCrLf({kTree, kSecond}));
}

TEST_F(CliTest, ExportWritesEachFormatAsTheProgramDoes) {
  // An untidy job: an empty row and an empty Z, as Open then Export sees it.
  dir.Write("JOB.BDT",
            kTree + "\r\n\r\n" + ComposeRecordLine("P2", "", "-10.500", "20.250", "") + "\r\n");
  for (const char* name : {"gts", "scs2002", "sv300", "cass", "csv", "dxf", "user"}) {
    SCOPED_TRACE(name);
    const CliResult result = Run({"export", name, "JOB.BDT", std::string("out.") + name});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::string expected;
    WriteRecords({kTree, kSecond}, test::Format(name), {},
                 [&expected](std::string_view bytes) { expected += bytes; });
    EXPECT_EQ(ReadFileBytes(dir.Path(std::string("out.") + name)), expected);
  }
}

TEST_F(CliTest, ExportUserReadsCommparaFromTheWorkingFolder) {
  dir.Write("JOB.bdt", kTree + "\r\n");
  dir.Write("Commpara",
            "[UserDefFormat1]\r\nDefName=Mine\r\nDefFileExt=txt\r\nDefOrderWord=000001\r\n");
  EXPECT_EQ(Run({"export", "user", "JOB.bdt", "out.txt"}).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), "1,P1,P1,P1,P1,P1\r\n");
}

TEST_F(CliTest, HelpListsTheFormatsOfEachCommand) {
  const struct {
    const char* command;
    const char* usage;
  } cases[] = {
      {"import",
       "usage: lumaq-cli import [--detect] [--crs CODE] [--layer NAME] [FORMAT] IN OUT.BDT   "
       "(FORMAT: gts, scs2002, sv300, cass, csv, gpkg, shp, geojson, kml)\n\n"
       "options:\n"
       "  --detect       pick the format by the file's content (FORMAT, if given, when it fits)\n"
       "  --crs CODE     the job's coordinate reference system, an EPSG code such as EPSG:4547 "
       "(gpkg, shp, geojson, kml, landxml); else the one stored in Commpara\n"
       "  --layer NAME   the layer to read (gpkg, shp, geojson, kml); else the first point "
       "layer\n"},
      {"export",
       "usage: lumaq-cli export [--crs CODE] FORMAT IN.BDT OUT   (FORMAT: gts, scs2002, sv300, "
       "cass, csv, dxf, user, gpkg, shp, geojson, kml, landxml)\n\n"
       "options:\n"
       "  --crs CODE   the job's coordinate reference system, an EPSG code such as EPSG:4547 "
       "(gpkg, shp, geojson, kml, landxml); else the one stored in Commpara\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    for (const char* help : {"--help", "-h"}) {
      const CliResult result = Run({c.command, help});
      EXPECT_EQ(result.exitCode, 0);
      EXPECT_EQ(result.out, c.usage);
      EXPECT_EQ(result.err, "");
    }
  }
}

TEST_F(CliTest, RejectionsAndFailures) {
  dir.Write("bad.dat", "01\r\nP1\r\nTREE\r\n1\r\n2\r\n3\r\nE\r\n");
  dir.Write("sv.dat", "1,P1,TREE,1,2,3\r\n\r\n");
  dir.Write("JOB.BDT", kTree + "\r\n");
  dir.Write("KEEP.BDT", "old");
  dir.Write("nul.dat", "P1,TREE,1,2,3\r\n" + std::string(1, '\0'));
  // Outputs and inputs that are no regular file stay as they are; a FIFO is
  // never waited on (the call would hang in open otherwise).
  ASSERT_EQ(::mkfifo(dir.Path("FIFO.BDT").c_str(), 0600), 0);
  // A node of the null device of our own (never the system's, which a
  // writer that replaced it would break).
  const bool haveDevice = ::mknod(dir.Path("NULL.pts").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  std::filesystem::create_directory(dir.Path("FOLDER.pts"));
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string errorStart;
  };
  std::vector<Case> cases = {
      {{"import", "scs2002", "bad.dat", "KEEP.BDT"}, 2, "数据格式不符，无法导入！"},
      {{"import", "sv300", "sv.dat", "KEEP.BDT"}, 2, "导入错误！"},
      {{"import", "cass", "missing.dat", "KEEP.BDT"}, 1, "导入错误！"},
      {{"import", "dxf", "bad.dat", "KEEP.BDT"}, 2, "lumaq-cli: unknown import format"},
      {{"import", "cass", "bad.dat"}, 2, "lumaq-cli: usage"},
      {{"export", "pdf", "JOB.BDT", "KEEP.BDT"}, 2, "lumaq-cli: unknown export format"},
      {{"export", "gts", "missing.BDT", "KEEP.BDT"}, 1, "无法打开文件"},
      {{"export", "gts", "JOB.BDT", "no/such/folder.pts"}, 1, "无法写入文件"},
      // A fault of the input comes before a failure to write.
      {{"import", "cass", "nul.dat", "no/such/folder.BDT"}, 2, "数据格式不符，无法导入！"},
      {{"export", "gts", "missing.BDT", "no/such/folder.pts"}, 1, "无法打开文件"},
      {{"export", "gts", "JOB.BDT", "FIFO.BDT"},
       2,
       "无法写入文件 \"FIFO.BDT\"：这是一个管道（FIFO），不是普通文件"},
      {{"export", "gts", "JOB.BDT", "FOLDER.pts"},
       2,
       "无法写入文件 \"FOLDER.pts\"：这是一个文件夹，不是普通文件"},
      {{"import", "cass", "FIFO.BDT", "KEEP.BDT"}, 2, "导入错误！"},
      {{"export", "gts", "FIFO.BDT", "KEEP.BDT"},
       2,
       "无法打开文件 \"FIFO.BDT\"：这是一个管道（FIFO），不是普通文件"},
  };
  if (haveDevice) {
    cases.push_back({{"export", "gts", "JOB.BDT", "NULL.pts"},
                     2,
                     "无法写入文件 \"NULL.pts\"：这是一个设备，不是普通文件"});
  }
  for (const auto& c : cases) {
    std::string label;
    for (const std::string& argument : c.arguments) label += argument + " ";
    SCOPED_TRACE(label);
    const CliResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind(c.errorStart, 0), 0u) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line of error";
    EXPECT_EQ(ReadFileBytes(dir.Path("KEEP.BDT")), "old");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.Path("FIFO.BDT")));
  EXPECT_TRUE(!haveDevice || std::filesystem::is_character_file(dir.Path("NULL.pts")));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path("FOLDER.pts")));
}

TEST_F(CliTest, RoundTripThroughTheCommandLine) {
  dir.Write("JOB.BDT", JoinLinesCrLf({kTree, kSecond}));
  for (const char* format : {"gts", "scs2002", "sv300", "cass", "csv"}) {
    SCOPED_TRACE(format);
    const std::string name(format);
    ASSERT_EQ(Run({"export", name, "JOB.BDT", "x." + name}).exitCode, 0);
    ASSERT_EQ(Run({"import", name, "x." + name, "BACK.BDT"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.Path("BACK.BDT")), ReadFileBytes(dir.Path("JOB.BDT")));
  }
}

// The runner the CLI tests share, on programs every system has: its input
// and deadline are not used by the tests above.
TEST(CliRunner, FeedsStandardInputAndStopsAProgramAtItsDeadline) {
  test::CliRun withInput;
  withInput.input = std::string(200000, 'x') + "\xB2\xE2";  // more than a pipe holds
  const CliResult echoed = test::RunCli({}, withInput, "/bin/cat");
  EXPECT_EQ(echoed.exitCode, 0);
  EXPECT_EQ(echoed.out, *withInput.input);
  EXPECT_FALSE(echoed.timedOut);

  test::CliRun shortDeadline;
  shortDeadline.deadline = std::chrono::milliseconds(200);
  const CliResult stopped = test::RunCli({"60"}, shortDeadline, "/bin/sleep");
  EXPECT_TRUE(stopped.timedOut);
  EXPECT_EQ(stopped.exitCode, -1);
}

}  // namespace
}  // namespace lumaq
