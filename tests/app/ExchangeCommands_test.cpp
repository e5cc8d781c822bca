#include "app/ExchangeCommands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "formats/ImportFormats.h"
#include "rawdata/PolarLines.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawRecordView.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ExchangeFormatsByName.h"
#include "support/HeadlessWindow.h"
#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace lumaq {
namespace {

using test::TempDir;
using test::WorkingFolder;

const char* const kCoordTitle = "--全站仪坐标记录文件";

// The job's folder, made the working folder, and the program's folder.
struct ExchangeFolders {
  TempDir dir;
  TempDir program;
  WorkingFolder inDir{dir.Folder()};
};

class ExchangeCommandsTest : public ::testing::Test,
                             protected ExchangeFolders,
                             protected test::HeadlessWindow {
 protected:
  ExchangeCommandsTest() : HeadlessWindow(program.Folder()) {}
  void SetUp() override { commands.StartUp({}); }

  void Import(const std::string& path, int typeIndex) {
    dialogs.NextOpenAnswer(FileChoice{path, typeIndex});
    exchange.MenuJobImportClick();
  }

  void Export(const std::string& path, int typeIndex) {
    dialogs.NextSaveAnswer(FileChoice{path, typeIndex});
    exchange.MenuJobExportClick();
  }
};

TEST_F(ExchangeCommandsTest, ImportReplacesTheRecordsAndLeavesTheJobUntitled) {
  const std::string bdt =
      dir.Write("JOB.BDT", ComposeRecordLine("OLD", "", "1", "2", "3") + "\r\n");
  dialogs.NextOpenAnswer(FileChoice{bdt, 1});
  commands.MenuJobOpenClick();
  const std::string cass = dir.Write("in.dat", "P1,TREE,1234.567,3456.789,12.300\r\nP2,,5,6,7\r\n");

  Import(cass, 4);

  ASSERT_EQ(dialogs.openRequests.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[1].title, "导入");
  EXPECT_EQ(dialogs.openRequests[1].filter, test::kImportFilter);
  EXPECT_EQ(job.JobText.size(), 2u);
  EXPECT_EQ(table.Cell(kColName, 1), "P1");
  EXPECT_EQ(table.Cell(kColN, 1), "3456.789");
  EXPECT_EQ(table.Cell(kColCode, 1), "TREE");
  EXPECT_EQ(table.Cell(kColE, 2), "5");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "点号总数:2");
  EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:1");
  EXPECT_EQ(table.CurrentRow(), 1);
  EXPECT_EQ(table.CurrentColumn(), kColName);
  EXPECT_TRUE(job.Untitled);
  // The rest of the job's state stays.
  EXPECT_FALSE(job.Modified);
  EXPECT_EQ(job.FilePath, bdt);
  EXPECT_EQ(view.caption, std::string("JOB.BDT") + kCoordTitle);
  EXPECT_EQ(commands.FileDialogs().TypeIndex(FileDialogKind::kOpen, 5), 4);
}

// A file that looks like another format: 是 imports it in that one, 否 in the
// one chosen, 取消 not at all.
TEST_F(ExchangeCommandsTest, ImportOffersTheFormatAFileLooksLike) {
  const std::string csv = dir.Write("p.csv", "\"P1\",\"3456.789\",\"1234.567\",\"12.3\",\"T\"\r\n");
  const struct {
    MessageResult answer;
    std::string name;  // of the record imported; "OLD" when none was
  } cases[] = {
      {MessageResult::kYes, "P1"}, {MessageResult::kNo, "\"P1\""}, {MessageResult::kCancel, "OLD"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetRecord(1, "OLD", "1", "2");
    dialogs.NextMessageAnswer(c.answer);
    Import(csv, 4);  // CASS
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().caption, kCaptionConfirm);
    EXPECT_EQ(
        dialogs.messages.back().text,
        "文件“p.csv”看起来不是“CASS5.X文件(*.DAT)”格式，而像是“CSV文件(逗号分隔)(*.CSV)”格式。"
        "\n\n是：改按“CSV文件(逗号分隔)(*.CSV)”格式导入\n否：仍按“CASS5.X文件(*.DAT)”格式导入"
        "\n取消：不导入");
    EXPECT_EQ(table.Cell(kColName, 1), c.name);
  }
}

TEST_F(ExchangeCommandsTest, AGisImportWithoutAReferenceSystemIsToldAndChangesNothing) {
  SetRecord(1, "OLD", "1", "2");
  dialogs.NextMessageAnswer(MessageResult::kOk);
  Import(dir.Write("p.geojson", "{\"type\": \"FeatureCollection\", \"features\": []}"), 8);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kCaptionWarning);
  EXPECT_NE(dialogs.messages[0].text.find("没有选定坐标系"), std::string::npos);
  EXPECT_EQ(table.Cell(kColName, 1), "OLD");
}

TEST_F(ExchangeCommandsTest, ImportStartsWithTheOpenDialogsFileType) {
  commands.FileDialogs().Remember(FileDialogKind::kOpen, {dir.Path("A.TSM"), 2});
  dialogs.NextOpenAnswer(std::nullopt);
  exchange.MenuJobImportClick();
  // A type index the import list does not have starts at its first type.
  commands.FileDialogs().Remember(FileDialogKind::kOpen, {dir.Path("A.TSM"), 10});
  dialogs.NextOpenAnswer(std::nullopt);
  exchange.MenuJobImportClick();
  ASSERT_EQ(dialogs.openRequests.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].filterIndex, 2);
  EXPECT_EQ(dialogs.openRequests[1].filterIndex, 1);
}

TEST_F(ExchangeCommandsTest, CancelledImportChangesNothing) {
  SetRecord(1, "P1", "1", "2");
  commands.StringGrid1KeyDown(false);  // the job is now modified
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  exchange.MenuJobImportClick();
  EXPECT_TRUE(dialogs.openRequests.empty());

  dialogs.NextMessageAnswer(MessageResult::kNo);
  dialogs.NextOpenAnswer(std::nullopt);
  exchange.MenuJobImportClick();
  EXPECT_EQ(table.Cell(kColName, 1), "P1");
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

TEST_F(ExchangeCommandsTest, ARejectedScs2002FileLeavesTheTableAndTheJobTextAsTheyWere) {
  job.JobText = {ComposeRecordLine("OLD", "", "1", "2", "3")};
  table.FillTableFromJobText(job.JobText, view);
  const std::string bad = dir.Write("bad.dat", "1\r\nP1\r\nTREE\r\n1\r\n2\r\n3\r\ne\r\n");
  dialogs.NextMessageAnswer(MessageResult::kOk);

  Import(bad, 2);

  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "警告");
  EXPECT_EQ(dialogs.messages[0].text, "数据格式不符，无法导入！");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(table.Cell(kColName, 1), "OLD");
  EXPECT_EQ(job.JobText.size(), 1u);
}

TEST_F(ExchangeCommandsTest, AFailingImportShowsImportErrorThenRaisesIt) {
  job.JobText = {ComposeRecordLine("OLD", "", "1", "2", "3")};
  table.FillTableFromJobText(job.JobText, view);
  const std::string sv300 = dir.Write("sv.dat", "1,P1,TREE,1,2,3\r\n\r\n3,P3,TREE,1,2,3\r\n");
  const struct {
    std::string path;
    int type;
  } failures[] = {{sv300, 3}, {dir.Path("missing.pts"), 1}};
  for (const auto& failure : failures) {
    SCOPED_TRACE(failure.path);
    dialogs.messages.clear();
    dialogs.NextMessageAnswer(MessageResult::kOk);
    dialogs.NextOpenAnswer(FileChoice{failure.path, failure.type});
    EXPECT_ANY_THROW(exchange.MenuJobImportClick());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "警告");
    EXPECT_EQ(dialogs.messages[0].text, "导入错误！");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(table.Cell(kColName, 1), "OLD") << "a failed import leaves the table as it was";
    EXPECT_EQ(job.JobText.size(), 1u) << "a failed import leaves the job text as it was";
  }
  dialogs.NextMessageAnswer(MessageResult::kOk);
  EXPECT_THROW(Import(sv300, 3), ImportError);
}

TEST_F(ExchangeCommandsTest, ExportCompactsTheJobTextEvenWhenCancelled) {
  SetRecord(2, "A", "1", "2", "", "C");
  SetRecord(5, "B", "3", "4", "5");
  SetRecord(9, "C", "6", "7", "8");
  dialogs.NextSaveAnswer(std::nullopt);
  exchange.MenuJobExportClick();
  ASSERT_EQ(job.JobText.size(), 3u);
  EXPECT_EQ(RecordLineZ(job.JobText[0]), "0.000");

  // Records are numbered by their position in the compacted text.
  Export(dir.Path("out.dat"), 3);
  EXPECT_EQ(ReadFileBytes(dir.Path("out.dat")), "1,A,C,1,2,0.000\r\n2,B,,3,4,5\r\n3,C,,6,7,8\r\n");
  ASSERT_EQ(dialogs.saveRequests.size(), 2u);
  EXPECT_EQ(dialogs.saveRequests[1].title, "导出为");
  EXPECT_EQ(commands.FileDialogs().TypeIndex(FileDialogKind::kSave, 7), 3);
  // Export changes nothing else in the job.
  EXPECT_TRUE(job.Untitled);
  EXPECT_FALSE(job.Modified);
  EXPECT_EQ(job.FilePath, "");
  EXPECT_EQ(view.caption, std::string("Job1") + kCoordTitle);
}

TEST_F(ExchangeCommandsTest, ExportOffersTheUserLayoutAndCompletesNames) {
  SetRecord(1, "P1", "3456.789", "1234.567", "12.300", "TREE");
  program.Write("Commpara",
                "[UserDefFormat1]\r\nDefName=Mine\r\nDefFileExt=\r\nDefOrderWord=401231\r\n");
  Export(dir.Path("plain"), 7);
  EXPECT_EQ(dialogs.saveRequests[0].filter,
            std::string(test::kExportFixedFilter) + "|Mine(自定义)|*.*" + test::kGisExportTypes);
  EXPECT_EQ(ReadFileBytes(dir.Path("plain")), "1,TREE,P1,3456.789,1234.567,12.300\r\n");

  Export(dir.Path("points"), 1);
  EXPECT_EQ(ReadFileBytes(dir.Path("points.pts")), "P1,1234.567,3456.789,12.300,TREE\r\n");
  // The dialog starts with the last file name and type.
  EXPECT_EQ(dialogs.saveRequests[1].fileName, "plain");
  EXPECT_EQ(dialogs.saveRequests[1].filterIndex, 7);

  // Without a valid layout the fallback is offered.
  program.Write("Commpara", "[UserDefFormat1]\r\nDefName=Mine\r\nDefFileExt=\r\n");
  Export(dir.Path("fallback"), 7);
  EXPECT_EQ(dialogs.saveRequests[2].filter, std::string(test::kExportFixedFilter) + "|" +
                                                FallbackUserFormat().name + "(自定义)|*.dat" +
                                                test::kGisExportTypes);
  EXPECT_EQ(ReadFileBytes(dir.Path("fallback.dat")), "P1,3456.789,1234.567,12.300,TREE\r\n");
}

TEST_F(ExchangeCommandsTest, ADisplayDecoderShowsTheLayoutName) {
  ExchangeCommands decoding{commands, job, table, view, dialogs, [](std::string_view bytes) {
                              return bytes == FallbackUserFormat().name
                                         ? std::string("自定义数据格式")
                                         : std::string(bytes);
                            }};
  dialogs.NextSaveAnswer(std::nullopt);
  decoding.MenuJobExportClick();
  EXPECT_EQ(dialogs.saveRequests[0].filter, std::string(test::kExportFixedFilter) +
                                                "|自定义数据格式(自定义)|*.dat" +
                                                test::kGisExportTypes);
}

TEST_F(ExchangeCommandsTest, AFailedExportLeavesTheOldFile) {
  SetRecord(1, "P1", "1", "2");
  const std::string existing = dir.Write("busy", "keep me");
  std::filesystem::create_directory(dir.Path("folder.pts"));
  EXPECT_THROW(Export(dir.Path("folder.pts"), 1), FileError);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("folder.pts")));
  EXPECT_THROW(Export(dir.Path("no/such/folder.pts"), 1), FileError);
  EXPECT_EQ(ReadFileBytes(existing), "keep me");
}

TEST_F(ExchangeCommandsTest, AMeasurementJobWithoutRawRecordsExportsNothing) {
  const std::string txt = dir.Write("notes.TXT", "line one\r\nline two\r\n");
  dialogs.NextOpenAnswer(FileChoice{txt, 3});
  commands.MenuJobOpenClick();
  exchange.MenuJobExportClick();
  EXPECT_TRUE(dialogs.saveRequests.empty());
  EXPECT_EQ(job.JobText, (JobText{"line one", "line two"}));
}

std::string RawRecordOf(unsigned char type, const std::string& name, unsigned char link) {
  std::string record(kRawRecordSize, '\0');
  record[0] = static_cast<char>(type);
  record.replace(1, name.size(), name);
  record[kRawLinkByte] = static_cast<char>(link);
  return record;
}

TEST_F(ExchangeCommandsTest, PolarExportWritesThePolarLines) {
  ProcessRawUnitState().Reset();
  job.CoordinateMode = false;
  job.HasRawRecords = true;
  job.RawRecordBuffer = RawRecordOf(kRawInstrument, "X", 0);

  Export(dir.Path("none"), 1);
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].filter, "极坐标格式数据(*.dat)|*.dat");
  EXPECT_EQ(dialogs.saveRequests[0].title, "导出为");
  EXPECT_EQ(ReadFileBytes(dir.Path("none.dat")), "");

  job.RawRecordBuffer += RawRecordOf(kRawStation, "S1", 1) + RawRecordOf(kRawStation, "S2", 2);
  Export(dir.Path("two.dat"), 1);
  JobText lines;
  BuildPolarLines(ProcessRawUnitState(), job.RawRecordBuffer, lines);
  ASSERT_EQ(lines.size(), 3u);  // two station lines and the empty line between them
  EXPECT_EQ(lines[0].rfind("S1,", 0), 0u);
  EXPECT_EQ(ReadFileBytes(dir.Path("two.dat")), JoinLinesCrLf(lines));
  EXPECT_EQ(job.JobText, JobText{});
}

}  // namespace
}  // namespace lumaq
