#include "app/MainCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/FakeMainView.h"
#include "support/FileSizeLimit.h"
#include "support/HeadlessWindow.h"
#include "support/SampleRecords.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::FakeMainView;
using test::FileSizeLimit;
using test::TempDir;

using test::kCoordTitle;
using test::kMeasTitle;
using test::RecordLines;

std::string RawRecords(int count, unsigned char firstType) {
  std::string bytes(static_cast<std::size_t>(count) * 42, '\x01');
  if (count > 0) bytes[0] = static_cast<char>(firstType);
  return bytes;
}

class MainCommandsTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override { commands.StartUp({}); }

  // A record typed into a row: the job is changed.
  void TypeRecord(int row, const std::string& name, const std::string& n, const std::string& e,
                  const std::string& z = "") {
    SetRecord(row, name, n, e, z);
    commands.StringGrid1KeyDown(false);
  }

  void Open(const std::string& path, int typeIndex = 1) {
    dialogs.NextOpenAnswer(FileChoice{path, typeIndex});
    commands.MenuJobOpenClick();
  }

  void SaveAs(const std::string& path, int typeIndex = 1) {
    dialogs.NextSaveAnswer(FileChoice{path, typeIndex});
    commands.MenuJobSaveAsClick();
  }

  TempDir dir;
};

TEST_F(MainCommandsTest, StartsWithEmptyJob1) {
  EXPECT_EQ(view.caption, std::string("Job1") + kCoordTitle);
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:");
  EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:");
  EXPECT_TRUE(job.Untitled);
  EXPECT_TRUE(job.CoordinateMode);
  EXPECT_FALSE(job.Modified);
}

TEST_F(MainCommandsTest, CommandLineOpensOnlyOneUpperCaseBdt) {
  const std::string bdt = dir.Write("JOB.BDT", RecordLines(3));
  const std::string lower = dir.Write("job.bdt", RecordLines(3));
  const std::string txt = dir.Write("JOB.TXT", RecordLines(3));
  struct Case {
    std::vector<std::string> args;
    bool opens;
  } cases[] = {{{bdt}, true}, {{bdt, bdt}, false}, {{lower}, false}, {{txt}, false}, {{}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "no argument" : c.args[0]);
    test::HeadlessWindow fresh;
    fresh.commands.StartUp(c.args);
    if (c.opens) {
      EXPECT_EQ(fresh.view.caption, std::string("JOB.BDT") + kCoordTitle);
      EXPECT_EQ(fresh.view.panels[StatusPanel::kCount], "点号总数:3");
      EXPECT_EQ(fresh.table.Cell(kColName, 3), "P3");
      EXPECT_FALSE(fresh.job.Untitled);
      EXPECT_EQ(fresh.job.FilePath, bdt);
    } else {
      EXPECT_EQ(fresh.view.caption, std::string("Job1") + kCoordTitle);
      EXPECT_TRUE(fresh.job.Untitled);
      EXPECT_TRUE(fresh.job.JobText.empty());
    }
  }
}

TEST_F(MainCommandsTest, SaveAfterCommandLineOpenWritesBackWithoutAsking) {
  const std::string bdt = dir.Write("JOB.BDT", RecordLines(2));
  commands.StartUp({bdt});
  TypeRecord(3, "P3", "1", "2", "3");
  commands.MenuJobSaveClick();
  EXPECT_TRUE(dialogs.saveRequests.empty());
  EXPECT_EQ(ReadTextFile(bdt).size(), 3u);
}

TEST_F(MainCommandsTest, NewOnUntitledUnchangedJobDoesNothing) {
  table.SetCell(kColName, 1, "P1");  // not typed: no key reached the table
  commands.MenuJobNewClick();
  EXPECT_EQ(view.caption, std::string("Job1") + kCoordTitle);
  EXPECT_EQ(table.Cell(kColName, 1), "P1");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, NewAfterAKeyAsksAndStartsJob2) {
  TypeRecord(1, "P1", "1", "2");
  dialogs.NextMessageAnswer(MessageResult::kNo);
  commands.MenuJobNewClick();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "提示");
  EXPECT_EQ(dialogs.messages[0].text, "您要保存对工作文件所作的更改吗？");
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::kYesNoCancel);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(view.caption, std::string("Job2") + kCoordTitle);
  EXPECT_EQ(view.panels[StatusPanel::kCount], "点号总数:0");
  EXPECT_EQ(table.Cell(kColName, 1), "");
  EXPECT_FALSE(job.Modified);
}

TEST_F(MainCommandsTest, CancelAtThePromptAbandonsTheCommand) {
  TypeRecord(1, "P1", "1", "2");
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  commands.MenuJobNewClick();
  EXPECT_EQ(view.caption, std::string("Job1") + kCoordTitle);
  EXPECT_EQ(table.Cell(kColName, 1), "P1");
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  commands.MenuJobOpenClick();  // no open dialog follows
  EXPECT_TRUE(dialogs.openRequests.empty());
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  EXPECT_FALSE(commands.CanClose());
  dialogs.NextMessageAnswer(MessageResult::kNo);
  EXPECT_TRUE(commands.CanClose());
}

TEST_F(MainCommandsTest, OpenBdtKeepsFirst15999Lines) {
  dialogs.NextMessageAnswer(MessageResult::kOk);
  Open(dir.Write("BIG.BDT", RecordLines(20000)));
  // The lines left out are not dropped without a word.
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "提示");
  EXPECT_EQ(dialogs.messages[0].text, "记录超过 15999 条，其余 4001 条未读入。");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(job.JobText.size(), 15999u);
  EXPECT_EQ(table.RowCount(), 16000);
  EXPECT_EQ(table.Cell(kColName, 15999), "P15999");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:15999");
  EXPECT_EQ(view.caption, std::string("BIG.BDT") + kCoordTitle);
  EXPECT_EQ(dialogs.openRequests[0].title, "打开");
  EXPECT_EQ(dialogs.openRequests[0].initialFolder, "/opt/lumaq");
}

TEST_F(MainCommandsTest, OpenByExtensionCase) {
  const std::string lines = RecordLines(2);
  struct Case {
    const char* name;
    bool coordinates;
  } cases[] = {{"A.BDT", true}, {"B.bdt", true}, {"JOB.Bdt", false}, {"C.TXT", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(dir.Write(c.name, lines));
    EXPECT_EQ(job.CoordinateMode, c.coordinates);
    if (c.coordinates) {
      EXPECT_EQ(view.view, FakeMainView::View::kCoordinate);
      EXPECT_EQ(table.Cell(kColName, 2), "P2");
    } else {
      EXPECT_EQ(view.view, FakeMainView::View::kMeasurement);
      EXPECT_EQ(view.caption, c.name);  // the name alone
      EXPECT_EQ(view.shownText, SplitTextLines(lines));
      EXPECT_EQ(table.Cell(kColName, 1), "");
    }
  }
}

TEST_F(MainCommandsTest, OpenTsmAcceptsOnlyWholeRecordsStartingWith0x81) {
  struct Case {
    const char* name;
    std::string bytes;
    bool accepted;
  } cases[] = {
      {"TWO.TSM", RawRecords(2, 0x81), true},
      {"ODD.TSM", RawRecords(2, 0x81) + "x", false},
      {"BAD.TSM", RawRecords(2, 0x01), false},
      {"low.tsm", RawRecords(1, 0x81), true},
      {"EMPTY.TSM", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Write(c.name, c.bytes);
    dialogs.messages.clear();
    const bool damaged = !c.accepted && !c.bytes.empty();
    if (damaged) dialogs.NextMessageAnswer(MessageResult::kOk);
    Open(path);
    // A damaged file opens empty and says so; an empty one is no measurement
    // at all, but not damaged.
    ASSERT_EQ(dialogs.messages.size(), damaged ? 1u : 0u);
    if (damaged) {
      EXPECT_EQ(dialogs.messages[0].caption, "提示");
      EXPECT_EQ(dialogs.messages[0].text,
                "文件“" + std::string(c.name) + "”不是有效的测量数据文件，未能装入。");
      EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kInformation);
      EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::kOk);
    }
    EXPECT_FALSE(job.CoordinateMode);
    EXPECT_EQ(job.HasRawRecords, c.accepted);
    EXPECT_EQ(job.RawRecordBuffer, c.accepted ? c.bytes : "");
    EXPECT_EQ(job.FilePath, path);
    EXPECT_EQ(view.exportEnabled, c.accepted);
    EXPECT_EQ(view.caption, std::string(c.name) + (c.accepted ? kMeasTitle : ""));
  }
}

TEST_F(MainCommandsTest, SaveAsTsmWritesTheRawBytesUnchanged) {
  std::string bytes = RawRecords(3, 0x81);
  bytes[50] = '\0';
  bytes[51] = '\r';
  Open(dir.Write("IN.TSM", bytes));
  SaveAs(dir.Path("OUT.TSM"), 1);
  EXPECT_EQ(ReadFileBytes(dir.Path("OUT.TSM")), bytes);
  EXPECT_EQ(dialogs.saveRequests[0].filter,
            "全站仪测量数据文件(*.TSM)|*.TSM|文本文件(*.TXT)|*.TXT");
  EXPECT_EQ(view.caption, std::string("OUT.TSM") + kMeasTitle);
}

TEST_F(MainCommandsTest, SaveOfARejectedTsmAsksForAnotherFileInsteadOfOverwritingIt) {
  const std::string bad = dir.Write("BAD.TSM", RawRecords(2, 0x01));
  dialogs.NextMessageAnswer(MessageResult::kOk);  // not a valid measurement file
  Open(bad);
  dialogs.NextSaveAnswer(std::nullopt);
  commands.MenuJobSaveClick();
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].filter, "文本文件(*.TXT)|*.TXT");
  EXPECT_EQ(ReadFileBytes(bad), RawRecords(2, 0x01));
}

TEST_F(MainCommandsTest, SaveWritesUsedRowsAndLeavesTheTableAsItWas) {
  TypeRecord(1, "P1", "1", "2", "3");
  TypeRecord(3, "P3", "4", "5");
  SaveAs(dir.Path("JOB.BDT"));
  EXPECT_EQ(ReadFileBytes(dir.Path("JOB.BDT")),
            ComposeRecordLine("P1", "", "1", "2", "3") + "\r\n" +
                ComposeRecordLine("P3", "", "4", "5", "0.000") + "\r\n");
  EXPECT_EQ(table.Cell(kColName, 3), "P3");  // the empty row 2 stays until Tidy
  EXPECT_EQ(view.caption, std::string("JOB.BDT") + kCoordTitle);
  EXPECT_FALSE(job.Untitled);
  EXPECT_FALSE(job.Modified);
}

TEST_F(MainCommandsTest, TxtAndBdtOfOneCoordinateJobAreTheSameBytes) {
  TypeRecord(1, "P1", "1", "2", "3");
  TypeRecord(2, "P2", "-4.5", "6");
  SaveAs(dir.Path("A.BDT"), 1);
  SaveAs(dir.Path("A.TXT"), 2);
  EXPECT_EQ(ReadFileBytes(dir.Path("A.BDT")), ReadFileBytes(dir.Path("A.TXT")));
  EXPECT_TRUE(job.CoordinateMode);
}

TEST_F(MainCommandsTest, SaveAsCompletesANameWithoutExtensionFromTheChosenType) {
  TypeRecord(1, "P1", "1", "2");
  SaveAs(dir.Path("field"), 2);
  EXPECT_TRUE(std::filesystem::exists(dir.Path("field.TXT")));
  EXPECT_EQ(job.JobName, "field.TXT");
}

TEST_F(MainCommandsTest, TheSaveDialogsFileTypeIsRememberedForTheNextSaveAs) {
  TypeRecord(1, "P1", "1", "2");
  SaveAs(dir.Path("A.TXT"), 2);
  commands.MenuJobNewClick();  // saved: no question
  dialogs.NextSaveAnswer(std::nullopt);
  commands.MenuJobSaveAsClick();
  EXPECT_EQ(dialogs.saveRequests.back().filterIndex, 2);
  EXPECT_EQ(commands.FileDialogs().TypeIndex(FileDialogKind::kSave, 2), 2);
}

TEST_F(MainCommandsTest, AFailedSaveLeavesTheOldFileIntact) {
  const std::string old = RecordLines(1);
  const std::string path = dir.Write("JOB.BDT", old);
  Open(path);
  for (int row = 2; row <= 200; ++row) TypeRecord(row, "P", "1", "2");
  {
    FileSizeLimit limit(old.size() + 100);
    EXPECT_THROW(commands.MenuJobSaveClick(), FileError);
  }
  EXPECT_EQ(ReadFileBytes(path), old);
  EXPECT_TRUE(job.Modified);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), {}), 1);
}

TEST_F(MainCommandsTest, TidyClosesUpRecordsAndFillsEmptyZ) {
  TypeRecord(2, "P2", "1", "2");
  TypeRecord(4, "P4", "3", "4", "5");
  TypeRecord(5, "P5", "6", "");  // no E: not a record
  dialogs.NextMessageAnswer(MessageResult::kOk);
  commands.Button_SortClick();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "有1行缺少点号、N或E，整理时已去掉（Ctrl+Z 可恢复）。");
  EXPECT_EQ(table.Cell(kColName, 1), "P2");
  EXPECT_EQ(table.Cell(kColZ, 1), "0.000");
  EXPECT_EQ(table.Cell(kColName, 2), "P4");
  EXPECT_EQ(table.Cell(kColName, 3), "");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:2");
}

TEST_F(MainCommandsTest, DeleteShowsTheTidyCountLessOneUntilTheIdleRecount) {
  for (int row = 1; row <= 3; ++row) TypeRecord(row, "P" + std::to_string(row), "1", "2");
  commands.Button_SortClick();
  commands.ApplicationIdle();  // still on row 1: nothing to recount
  for (int i = 0; i < 2; ++i) {
    dialogs.NextMessageAnswer(MessageResult::kYes);
    commands.Button_DelClick();
    EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:2");
    ASSERT_TRUE(commands.StringGrid1SelectCell(kColName, 2));
  }
  EXPECT_EQ(dialogs.messages[0].caption, "确认");
  EXPECT_EQ(dialogs.messages[0].text, "确定要删除该记录吗?");
  commands.ApplicationIdle();
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:1");
  dialogs.NextMessageAnswer(MessageResult::kNo);
  commands.Button_DelClick();
  EXPECT_EQ(table.Cell(kColName, 3), "P3");
}

TEST_F(MainCommandsTest, ClearEmptiesTableAndJobText) {
  Open(dir.Write("A.BDT", RecordLines(5)));
  ASSERT_TRUE(commands.StringGrid1SelectCell(kColE, 4));
  commands.Button_ClearClick();
  EXPECT_TRUE(job.JobText.empty());
  EXPECT_EQ(table.CountRecords(), 0);
  EXPECT_EQ(view.panels[StatusPanel::kCount], "点号总数:0");
  EXPECT_EQ(table.CurrentRow(), 1);
  EXPECT_EQ(table.CurrentColumn(), kColName);
}

TEST_F(MainCommandsTest, FindWrapsAroundAndReportsMisses) {
  Open(dir.Write("A.BDT", RecordLines(5)));
  ASSERT_TRUE(commands.StringGrid1SelectCell(kColN, 4));
  commands.Button_FindClick(" p2 ");
  EXPECT_EQ(table.CurrentRow(), 2);
  EXPECT_EQ(table.CurrentColumn(), kColName);
  EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:2");
  EXPECT_EQ(view.tableFocus, 1);
  commands.Button_FindClick("P2");  // the current row is found after a full cycle
  EXPECT_EQ(table.CurrentRow(), 2);
  dialogs.NextMessageAnswer(MessageResult::kOk);
  commands.Button_FindClick("P9");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "当前文件中无此点号。");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kNone);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(table.CurrentRow(), 2);
}

TEST_F(MainCommandsTest, FindDoesNothingWithoutJobTextOrSearchText) {
  TypeRecord(1, "P1", "1", "2");  // typed, never tidied: the job text is empty
  commands.Button_FindClick("P1");
  commands.Button_FindClick("");
  EXPECT_EQ(view.tableFocus, 0);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, LeavingACellChecksAndNormalisesIt) {
  struct Case {
    int column;
    const char* typed;
    bool moves;
    const char* kept;
  } cases[] = {
      {kColN, "12345678.9", false, "12345678.9"},     {kColN, "10000000", true, "10000000"},
      {kColE, "-1000000.001", false, "-1000000.001"}, {kColZ, "012.500", true, "12.5"},
      {kColName, "ABCDEFGHIJ", true, "ABCDEFGH"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    ASSERT_TRUE(commands.StringGrid1SelectCell(c.column, 1));
    table.SetCell(c.column, 1, c.typed);
    if (!c.moves) dialogs.NextMessageAnswer(MessageResult::kOk);
    EXPECT_EQ(commands.StringGrid1SelectCell(c.column, 2), c.moves);
    EXPECT_EQ(table.CurrentRow(), c.moves ? 2 : 1);
    EXPECT_EQ(table.Cell(c.column, 1), c.kept);
    table.SetCell(c.column, 1, "");
  }
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text,
            "输入的坐标数据超出最大范围:\n(-999999.999m~9999999.999m)\n请重新输入!");
  EXPECT_EQ(dialogs.messages[0].caption, "提示");
}

TEST_F(MainCommandsTest, EnterMovesAcrossThenDown) {
  ASSERT_TRUE(commands.StringGrid1SelectCell(kColZ, 1));
  commands.StringGrid1KeyDown(true);
  EXPECT_EQ(table.CurrentColumn(), kColCode);
  commands.StringGrid1KeyDown(true);
  EXPECT_EQ(table.CurrentColumn(), kColName);
  EXPECT_EQ(table.CurrentRow(), 2);
  EXPECT_TRUE(job.Modified);
  const int last = table.RowCount() - 1;
  ASSERT_TRUE(commands.StringGrid1SelectCell(kColCode, last));
  commands.StringGrid1KeyDown(true);
  EXPECT_EQ(table.CurrentColumn(), kColName);
  EXPECT_EQ(table.CurrentRow(), last);
}

TEST_F(MainCommandsTest, ReceiveIntoAnUnchangedJobKeepsItsLines) {
  job.JobText = {ComposeRecordLine("P1", "", "1", "2", "3")};
  EXPECT_TRUE(commands.PrepareReceive());
  EXPECT_EQ(commands.TransferDirection(), TransferDirection::kReceive);
  ASSERT_EQ(job.JobText.size(), 1u);  // New did nothing
  job.JobText.push_back(ComposeRecordLine("P2", "", "4", "5", "6"));
  commands.FinishReceive();
  EXPECT_EQ(table.Cell(kColName, 2), "P2");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:2");
  EXPECT_FALSE(job.Modified);
}

TEST_F(MainCommandsTest, ReceivedMeasurementsMarkTheJobChanged) {
  ASSERT_TRUE(commands.PrepareReceive());
  job.CoordinateMode = false;  // as a receive of measurements leaves it
  job.JobText = {"HA: 12.3456"};
  commands.FinishReceive();
  EXPECT_TRUE(job.Modified);
  EXPECT_EQ(view.view, FakeMainView::View::kMeasurement);
  EXPECT_EQ(view.caption, std::string("Job1") + kMeasTitle);
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  EXPECT_FALSE(commands.CanClose());
}

TEST_F(MainCommandsTest, CancelAtTheSavePromptAbandonsTheReceive) {
  TypeRecord(1, "P1", "1", "2");
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  EXPECT_FALSE(commands.PrepareReceive());
  EXPECT_EQ(table.Cell(kColName, 1), "P1");
}

TEST_F(MainCommandsTest, SendNeedsACoordinateJobWithRecords) {
  EXPECT_FALSE(commands.PrepareSend());  // an empty table
  TypeRecord(2, "P2", "1", "2");
  EXPECT_TRUE(commands.PrepareSend());
  EXPECT_EQ(commands.TransferDirection(), TransferDirection::kSend);
  EXPECT_EQ(job.JobText, JobText{ComposeRecordLine("P2", "", "1", "2", "0.000")});
  EXPECT_EQ(table.Cell(kColName, 1), "");  // the table is not refilled
  dialogs.NextMessageAnswer(MessageResult::kNo);
  Open(dir.Write("A.TXT", "text\r\n"));
  EXPECT_FALSE(commands.PrepareSend());
}

// The table sends its 15999 rows; records typed past them are told of, not
// dropped without a word.
TEST_F(MainCommandsTest, SendSaysHowManyRecordsLiePastTheTable) {
  NoProgress progress;
  JobText lines(static_cast<std::size_t>(kMaxRecords) + 2,
                ComposeRecordLine("P", "", "1", "2", "3"));
  table.FillTableFromJobText(lines, progress);
  dialogs.NextMessageAnswer(MessageResult::kOk);
  EXPECT_TRUE(commands.PrepareSend());
  EXPECT_EQ(job.JobText.size(), static_cast<std::size_t>(kMaxRecords));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kCaptionWarning);
  EXPECT_EQ(dialogs.messages[0].text, RecordsPastTableText(2));
}

// Names and codes the instrument's character code lacks are warned of before
// the send, with the first records' names; 取消 sends nothing.
TEST_F(MainCommandsTest, SendWarnsOfNamesTheInstrumentWouldReceiveAsHashes) {
  const std::string gb = "\xB2\xE2\xB5\xE3";  // 测点 in the code page
  commands.SetDisplayText([&](std::string_view bytes) {
    return bytes == gb + "1" ? std::string("测点1") : std::string(bytes);
  });
  const std::vector<std::pair<std::string, std::string>> records = {
      {"P1", ""},         {gb + "1", ""},     {"P3", "\xCA\xF7"}, {"P4", "TREE"},
      {"P\t5", ""},       {"P6", "\xCA\xF7"}, {"P7", ""},         {"P8#", "a_b/c"},
      {"P9", "\xCA\xF7"}, {"P10", "\xCA\xF7"}};
  for (std::size_t i = 0; i < records.size(); ++i) {
    SetRecord(static_cast<int>(i) + 1, records[i].first, "1", "2", "3", records[i].second);
  }
  const std::string text =
      "共 6 条记录的点号或编码含有全站仪不能接收的字符（如汉字）：测点1、P3、P\t5、P6、P9 "
      "等。全站仪以二进制方式接收时，这些字符将变成“#”。\n是否继续发送？";
  for (const MessageResult answer : {MessageResult::kCancel, MessageResult::kOk}) {
    dialogs.NextMessageAnswer(answer);
    EXPECT_EQ(commands.PrepareSend(), answer == MessageResult::kOk);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "警告");
    EXPECT_EQ(dialogs.messages[0].text, text);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::kContinueCancel);
    dialogs.messages.clear();
  }
  EXPECT_EQ(commands.TransferDirection(), TransferDirection::kSend);
}

}  // namespace
}  // namespace lumaq
