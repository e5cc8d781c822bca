#include "app/FileConversions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/JobCommands.h"
#include "formats/ExchangeFormats.h"
#include "formats/ImportFormats.h"
#include "records/JobDocument.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"
#include "support/ChildProcess.h"
#include "support/ExchangeFormatsByName.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

class FileConversionsTest : public ::testing::Test {
 protected:
  test::CliResult Run(const std::vector<std::string>& arguments) {
    test::CliRun run;
    run.workingFolder = dir.Folder();
    return test::RunCli(arguments, run);
  }

  test::TempDir dir;
};

// lumaq-cli reads and writes a record at a time; the window's commands hold
// the whole job. Longer than the table, untidy, each format both ways.
TEST_F(FileConversionsTest, LongFilesConvertAsTheWindowsCommandsConvertThem) {
  JobText lines;
  for (int i = 1; i <= 16003; ++i) {
    const std::string n = std::to_string(i);
    lines.push_back(
        i % 7 == 0 ? std::string()
                   : ComposeRecordLine("P" + n, i % 3 ? "C" : "", n + ".5", "2", i % 5 ? "3" : ""));
  }
  dir.Write("JOB.BDT", JoinLinesCrLf(lines));
  JobDocument job;
  RecordTable table;
  NoProgress progress;
  JobCommands commands(job, table, progress);
  commands.OpenRecordFile(dir.Path("JOB.BDT"));
  commands.TakeRecordsFromTable();
  for (const ExchangeFormat* format : FormatsToExport(RecordKind::kCoordinateRecords)) {
    // The GIS formats stamp their files and need a system: CliGis_test reads them back.
    if (format->usesCrs) continue;
    const std::string name(format->name);
    SCOPED_TRACE(name);
    ASSERT_EQ(Run({"export", name, "JOB.BDT", "x." + name}).exitCode, 0);
    commands.ExportToFile(*format, {}, dir.Path("window." + name));
    EXPECT_EQ(ReadFileBytes(dir.Path("x." + name)), ReadFileBytes(dir.Path("window." + name)));
    if (!format->Reads()) continue;
    ASSERT_EQ(Run({"import", name, "x." + name, "BACK.BDT"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.Path("BACK.BDT")),
              JoinLinesCrLf(ImportFile(*format, dir.Path("x." + name)).records));
  }
}

TEST_F(FileConversionsTest, AnExportWhoseInputChangesMeanwhileFailsAndWritesNothing) {
  const std::string kTree = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");
  const std::string in = dir.Write("JOB.BDT", kTree + "\r\n");
  const std::string out = dir.Write("OUT.dat", "old");
  for (const std::string& changed : {std::string(), kTree + "\r\n" + kTree + "\r\n"}) {
    const RecordFileExport open(in);
    dir.Write("JOB.BDT", changed);
    EXPECT_THROW(open.WriteTo(test::Format("scs2002"), {}, out), FileError);
    EXPECT_EQ(ReadFileBytes(out), "old");
    dir.Write("JOB.BDT", kTree + "\r\n");
  }
}

}  // namespace
}  // namespace lumaq
