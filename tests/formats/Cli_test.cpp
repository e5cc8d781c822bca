// lumaq-cli import and export, run as a surveyor's script would run them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "formats/ExportFormats.h"
#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::TempDir;

struct CliResult {
  int exitCode = -1;
  std::string errors;
};

class CliTest : public ::testing::Test {
 protected:
  // Runs lumaq-cli with the arguments in the test's folder.
  CliResult Run(const std::string& arguments) {
    const std::string errors = dir.Path("stderr.txt");
    const std::string command = "cd '" + dir.Folder() + "' && '" LUMAQ_CLI "' " + arguments +
                                " >/dev/null 2>'" + errors + "'";
    const int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.errors = ReadFileBytes(errors);
    return result;
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(dir.Path(name)); }

  TempDir dir;
};

const std::string kTree = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");
const std::string kSecond = ComposeRecordLine("P2", "", "-10.500", "20.250", "0.000");

TEST_F(CliTest, ImportWritesTheJobTextAsABdtFile) {
  dir.Write("in.dat", "P1,TREE,1234.567,3456.789,12.300\r\nP2,,20.250,-10.500,0.000");
  const CliResult result = Run("import cass in.dat OUT.BDT");
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.BDT")), JoinLinesCrLf({kTree, kSecond}));
}

TEST_F(CliTest, ExportWritesEachFormatAsTheProgramDoes) {
  // An untidy job: an empty row and an empty Z, as Open then Export sees it.
  dir.Write("JOB.BDT",
            kTree + "\r\n\r\n" + ComposeRecordLine("P2", "", "-10.500", "20.250", "") + "\r\n");
  const std::pair<const char*, ExportFormat> formats[] = {
      {"gts", ExportFormat::kGtsPoints}, {"scs2002", ExportFormat::kScs2002},
      {"sv300", ExportFormat::kSv300},   {"cass", ExportFormat::kCass},
      {"csv", ExportFormat::kCsv},       {"dxf", ExportFormat::kDxf},
      {"user", ExportFormat::kUser},
  };
  for (const auto& [name, format] : formats) {
    SCOPED_TRACE(name);
    const CliResult result = Run(std::string("export ") + name + " JOB.BDT out." + name);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    std::string expected;
    WriteRecords({kTree, kSecond}, format, FallbackUserFormat(),
                 [&expected](std::string_view bytes) { expected += bytes; });
    EXPECT_EQ(ReadFileBytes(dir.Path(std::string("out.") + name)), expected);
  }
}

TEST_F(CliTest, ExportUserReadsCommparaFromTheWorkingFolder) {
  dir.Write("JOB.bdt", kTree + "\r\n");
  dir.Write("Commpara",
            "[UserDefFormat1]\r\nDefName=Mine\r\nDefFileExt=txt\r\nDefOrderWord=000001\r\n");
  EXPECT_EQ(Run("export user JOB.bdt out.txt").exitCode, 0);
  EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), "1,P1,P1,P1,P1,P1\r\n");
}

TEST_F(CliTest, RejectionsAndFailures) {
  dir.Write("bad.dat", "01\r\nP1\r\nTREE\r\n1\r\n2\r\n3\r\nE\r\n");
  dir.Write("sv.dat", "1,P1,TREE,1,2,3\r\n\r\n");
  dir.Write("JOB.BDT", kTree + "\r\n");
  dir.Write("KEEP.BDT", "old");
  const struct {
    const char* arguments;
    int exitCode;
    const char* errorStart;
  } cases[] = {
      {"import scs2002 bad.dat KEEP.BDT", 2, "数据格式不符，无法导入！"},
      {"import sv300 sv.dat KEEP.BDT", 2, "导入错误！"},
      {"import cass missing.dat KEEP.BDT", 1, "导入错误！"},
      {"import dxf bad.dat KEEP.BDT", 2, "lumaq-cli: unknown import format"},
      {"import cass bad.dat", 2, "lumaq-cli: usage"},
      {"export pdf JOB.BDT KEEP.BDT", 2, "lumaq-cli: unknown export format"},
      {"export gts missing.BDT KEEP.BDT", 1, "无法打开文件"},
      {"export gts JOB.BDT no/such/folder.pts", 1, "无法写入文件"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const CliResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.errors.rfind(c.errorStart, 0), 0u) << result.errors;
    EXPECT_EQ(result.errors.find('\n'), result.errors.size() - 1) << "one line of error";
    EXPECT_EQ(ReadFileBytes(dir.Path("KEEP.BDT")), "old");
  }
}

TEST_F(CliTest, RoundTripThroughTheCommandLine) {
  dir.Write("JOB.BDT", JoinLinesCrLf({kTree, kSecond}));
  for (const char* format : {"gts", "scs2002", "sv300", "cass", "csv"}) {
    SCOPED_TRACE(format);
    const std::string name(format);
    ASSERT_EQ(Run("export " + name + " JOB.BDT x." + name).exitCode, 0);
    ASSERT_EQ(Run("import " + name + " x." + name + " BACK.BDT").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.Path("BACK.BDT")), ReadFileBytes(dir.Path("JOB.BDT")));
  }
}

}  // namespace
}  // namespace lumaq
