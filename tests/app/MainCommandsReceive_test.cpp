// Receive around the transfer dialog, headless: the dialog's part is played
// by appending what it would append to the job text.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/ExchangeCommands.h"
#include "app/MainCommands.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/HeadlessWindow.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

JobText Records(int count, int first = 1) {
  JobText lines;
  for (int i = first; i < first + count; ++i) {
    lines.push_back(ComposeRecordLine("P" + std::to_string(i), "", "1.000", "2.000", "3.000"));
  }
  return lines;
}

class MainCommandsReceiveTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override { commands.StartUp({}); }

  // F9 with coordinate records arriving, ended as end says.
  void Receive(const JobText& records, const TransferEnd& end = {}) {
    ASSERT_TRUE(commands.PrepareReceive());
    job.JobText.insert(job.JobText.end(), records.begin(), records.end());
    commands.FinishReceive(end);
  }

  test::TempDir dir;
  ExchangeCommands exchange{commands, job, table, view, dialogs, SameText};
};

TEST_F(MainCommandsReceiveTest, ReceivedRecordsAreNotDroppedWithoutTheSaveQuestion) {
  struct Case {
    const char* label;
    // Runs the command; the file dialog it then shows, if any, is answered
    // when answered is set. False: it stopped.
    std::function<bool(bool answered)> command;
  } cases[] = {
      {"New",
       [this](bool) {
         commands.MenuJobNewClick();
         return job.JobName != "Job1";
       }},
      {"Open",
       [this](bool answered) {
         if (answered) dialogs.NextOpenAnswer(FileChoice{dir.Write("O.BDT", "\r\n"), 1});
         commands.MenuJobOpenClick();
         return job.JobName == "O.BDT";
       }},
      {"Import",
       [this](bool answered) {
         if (answered) {
           dialogs.NextOpenAnswer(
               FileChoice{dir.Write("PTS.DAT", "Q1,TREE,1234.567,3456.789,12.300\r\n"), 4});
         }
         exchange.MenuJobImportClick();
         return table.Cell(kColName, 1) == "Q1";
       }},
      {"Exit", [this](bool) { return commands.CanClose(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    job = JobDocument{};
    SetUp();
    dialogs.messages.clear();
    Receive(Records(2));
    EXPECT_FALSE(job.Modified);
    EXPECT_TRUE(commands.HasUnsavedReceivedLines());

    dialogs.NextMessageAnswer(MessageResult::kCancel);
    EXPECT_FALSE(c.command(false));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "您要保存对工作文件所作的更改吗？");
    EXPECT_EQ(job.JobText, Records(2));

    // Answered No, the command goes on.
    dialogs.NextMessageAnswer(MessageResult::kNo);
    EXPECT_TRUE(c.command(true));
    EXPECT_EQ(dialogs.messages.size(), 2u);
  }
}

TEST_F(MainCommandsReceiveTest, TheQuestionComesBackWhileTheReceivedRecordsAreStillThere) {
  Receive(Records(2));
  // No at Open's question, then no file chosen: the records stay, and so
  // does the question.
  dialogs.NextMessageAnswer(MessageResult::kNo);
  dialogs.NextOpenAnswer(std::nullopt);
  commands.MenuJobOpenClick();
  EXPECT_EQ(job.JobText, Records(2));
  dialogs.NextMessageAnswer(MessageResult::kCancel);
  EXPECT_FALSE(commands.CanClose());
  EXPECT_EQ(dialogs.messages.size(), 2u);
  // A New that was answered No has replaced them: nothing more to ask.
  dialogs.NextMessageAnswer(MessageResult::kNo);
  commands.MenuJobNewClick();
  EXPECT_FALSE(commands.HasUnsavedReceivedLines());
  EXPECT_TRUE(commands.CanClose());
  EXPECT_EQ(dialogs.messages.size(), 3u);
}

TEST_F(MainCommandsReceiveTest, TwoReceivesCollectBothWithoutAQuestionUntilSaved) {
  Receive(Records(2));
  Receive(Records(3, 3));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(job.JobText, Records(5));
  EXPECT_EQ(table.Cell(kColName, 5), "P5");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:5");

  dialogs.NextSaveAnswer(FileChoice{dir.Path("FIELD.BDT"), 1});
  commands.MenuJobSaveClick();
  EXPECT_FALSE(commands.HasUnsavedReceivedLines());
  EXPECT_TRUE(commands.CanClose());
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ReadFileBytes(dir.Path("FIELD.BDT")), JoinLinesCrLf(Records(5)));
}

TEST_F(MainCommandsReceiveTest, AReceiveThatBroughtNothingLeavesNothingToSave) {
  Receive({});
  EXPECT_FALSE(commands.HasUnsavedReceivedLines());
  EXPECT_TRUE(commands.CanClose());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsReceiveTest, MoreRecordsThanTheTableHoldsAreToldAndTheTableKeeps15999) {
  struct Case {
    const char* label;
    int before;    // records in the untitled, unchanged job
    int received;  // records the transfer appended
    std::string told;
  } cases[] = {
      {"16000 into an empty job", 0, 16000, TableFullText(16000, 1)},
      {"added to records already there", 10, 15995, TableFullText(15995, 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    job = JobDocument{};
    SetUp();
    dialogs.messages.clear();
    job.JobText = Records(c.before);
    dialogs.NextMessageAnswer(MessageResult::kOk);
    Receive(Records(c.received, c.before + 1));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, kCaptionWarning);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
    EXPECT_EQ(dialogs.messages[0].text, c.told);
    EXPECT_EQ(job.JobText, Records(kMaxRecords));
    EXPECT_EQ(table.CountRecords(), kMaxRecords);
    EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:15999");
  }
  EXPECT_EQ(TableFullText(16000, 1),
            "共收到 16000 条坐标记录，表格最多只能容纳 15999 条：表格保留了前 15999 条，其余 1 "
            "条未保留，保存时也不会写入。请分批接收。");
}

TEST_F(MainCommandsReceiveTest, AnUnfinishedTransferIsToldWithItsCountAndLeavesTheJobChanged) {
  struct Case {
    const char* label;
    TransferEnd end;
    int received;
    std::string told;  // empty: no box
  } cases[] = {
      {"pulled cable",
       {TransferOutcome::kLineError, 2},
       2,
       "接收未完成（通讯中断）：已收到 2 条记录，数据可能不完整。请检查并保存，必要时重新接收。"},
      {"cancelled",
       {TransferOutcome::kCancelled, 3},
       3,
       "接收未完成（已取消）：已收到 3 条记录，数据可能不完整。请检查并保存，必要时重新接收。"},
      {"silent, cancelled",
       {TransferOutcome::kCancelled, 0},
       0,
       "接收未完成（已取消）：已收到 0 条记录，数据可能不完整。请检查并保存，必要时重新接收。"},
      {"whole", {TransferOutcome::kEndReceived, 2}, 2, ""},
      {"port not opened", {TransferOutcome::kPortNotOpened, 0}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    job = JobDocument{};
    SetUp();
    dialogs.messages.clear();
    if (!c.told.empty()) dialogs.NextMessageAnswer(MessageResult::kOk);
    Receive(Records(c.received), c.end);
    ASSERT_EQ(dialogs.messages.size(), c.told.empty() ? 0u : 1u);
    if (!c.told.empty()) {
      EXPECT_EQ(dialogs.messages[0].text, c.told);
      EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::kWarning);
    }
    const bool changed = !c.told.empty() && c.received > 0;
    EXPECT_EQ(job.Modified, changed);
    EXPECT_EQ(commands.Journals().Live(), c.received > 0);
    EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:" + std::to_string(c.received));
  }

  // A send that ends early: how many of its records were acknowledged.
  EXPECT_EQ(UnfinishedSendText({TransferOutcome::kLineError, 16}, 50),
            "发送未完成（通讯中断）：全站仪确认了 50 条记录中的 16 条，其余记录未发送。");
  EXPECT_EQ(UnfinishedSendText({TransferOutcome::kSendComplete, 50}, 50), "");
  job.JobText = Records(5);
  dialogs.NextMessageAnswer(MessageResult::kOk);
  commands.FinishSend({TransferOutcome::kCancelled, 1});
  EXPECT_EQ(dialogs.messages.back().text,
            "发送未完成（已取消）：全站仪确认了 5 条记录中的 1 条，其余记录未发送。");
}

TEST_F(MainCommandsReceiveTest, ArrivingLinesAreShownAtEachPaceWhileTheTableIsReadOnly) {
  ASSERT_TRUE(commands.PrepareReceive());
  EXPECT_TRUE(view.tableReadOnly);
  const JobText records = Records(3);
  job.JobText = {records[0], records[1]};
  commands.ShowArrivingLines(true);
  EXPECT_EQ(table.Cell(kColName, 2), "P2");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:2");
  job.JobText.push_back(records[2]);
  commands.ShowArrivingLines(true);
  EXPECT_EQ(table.Cell(kColName, 3), "P3");
  EXPECT_EQ(view.panels[StatusPanel::kCount], "总数:3");
  EXPECT_EQ(view.view, test::FakeMainView::View::kCoordinate);

  // Then a measurement frame: the text view takes over, with every line.
  job.JobText.push_back("HA=123.4510");
  commands.ShowArrivingLines(false);
  EXPECT_EQ(view.view, test::FakeMainView::View::kMeasurement);
  EXPECT_EQ(view.shownText, job.JobText);
  commands.FinishReceive();
  EXPECT_FALSE(view.tableReadOnly);
}

}  // namespace
}  // namespace lumaq
