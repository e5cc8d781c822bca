// Receive (F9) and Send (F10) in the real window, offscreen, against the
// simulated instrument on a pseudo-terminal: COM1 leads to it through
// [PortMap] of "Commpara" in the window's program folder, and the settings
// dialog is accepted as a user would.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/StatusTexts.h"
#include "app/ui/Zivoru_main.h"
#include "comm/AcceptedFrame.h"
#include "comm/FramesFile.h"
#include "comm/TransferLineTexts.h"
#include "comm/ui/Trans.h"
#include "comm/ui/Unit3.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ActiveMainWindow.h"
#include "support/InstrumentFrames.h"
#include "support/InstrumentRun.h"
#include "support/ModalDialogs.h"
#include "support/SampleRecords.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::InstrumentRun;

class TransferWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Commands().Journals().SetFolder(journalFolder);
    ASSERT_NO_FATAL_FAILURE(test::StartActiveMainWindow(form));
  }

  // The instrument with arguments, at the far end of COM1.
  InstrumentRun& Instrument(std::vector<std::string> arguments) {
    instrument = test::InstrumentOnCom1(dir, std::move(arguments));
    return *instrument;
  }

  // The settings dialog that opens first is accepted and the transfer dialog
  // under it noted.
  void AcceptSettings() {
    script.Next<ui::TForm3>([this](ui::TForm3* settings) {
      transfer = qobject_cast<ui::TForm2*>(settings->parentWidget());
      settings->Button1->click();
    });
  }
  // The key of a command that runs a transfer, in the main window (active
  // again after an earlier dialog).
  void Press(Qt::Key key) {
    AcceptSettings();
    Key(key);
  }
  void Key(Qt::Key key) {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, key);
  }

  JobText GridRecords() {
    // The table compacted as Save writes it, without changing the job.
    JobText lines;
    for (int row = 1; row < form.Table().RowCount(); ++row) {
      if (form.Table().Cell(kColName, row).empty()) continue;
      lines.push_back(
          ComposeRecordLine(form.Table().Cell(kColName, row), form.Table().Cell(kColCode, row),
                            form.Table().Cell(kColN, row), form.Table().Cell(kColE, row),
                            form.Table().Cell(kColZ, row)));
    }
    return lines;
  }

  test::TempDir dir;
  const std::string journalFolder = dir.Path("state/lumaq");
  test::ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs, dir.Folder()};
  test::ModalDialogs script;
  std::unique_ptr<InstrumentRun> instrument;
  QPointer<ui::TForm2> transfer;
};

TEST_F(TransferWindowTest, ReceivedCoordinateRecordsFillTheGrid) {
  const JobText records = test::TopoRecords(3);
  InstrumentRun& run = Instrument({"send-job", dir.Write("JOB.BDT", JoinLinesCrLf(records))});
  Press(Qt::Key_F9);
  EXPECT_TRUE(script.AllDone());
  EXPECT_TRUE(transfer.isNull()) << "the dialog is destroyed after the transfer";
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(GridRecords(), records);
  EXPECT_EQ(form.StringGrid1->model()->index(2, kColName).data().toString(), "P3");
  EXPECT_EQ(form.PanelLabel(StatusPanel::kCount)->text(), QString::fromUtf8("总数:3"));
  EXPECT_EQ(form.Table().CurrentRow(), 1);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Job1--全站仪坐标记录文件"));
  EXPECT_FALSE(form.Job().Modified);
  // The settings dialog kept its choice beside the program.
  EXPECT_NE(ReadFileBytes(dir.Path("Commpara")).find("[ComPort1]\r\nPort=COM1\r\n"),
            std::string::npos);
}

TEST_F(TransferWindowTest, TwoReceivesCollectBothAndClosingAsksToSaveThem) {
  const JobText first = test::TopoRecords(2);
  const JobText second = test::TopoRecords(2, 3);
  InstrumentRun& one = Instrument({"send-job", dir.Write("A.BDT", JoinLinesCrLf(first))});
  Press(Qt::Key_F9);
  EXPECT_EQ(one.Finish(), 0) << one.Errors();
  InstrumentRun& two = Instrument({"send-job", dir.Write("B.BDT", JoinLinesCrLf(second))});
  Press(Qt::Key_F9);
  EXPECT_TRUE(script.AllDone());
  EXPECT_EQ(two.Finish(), 0) << two.Errors();
  EXPECT_TRUE(dialogs.messages.empty()) << "the Receive's own New asks nothing";
  JobText both = first;
  both.insert(both.end(), second.begin(), second.end());
  EXPECT_EQ(GridRecords(), both);
  EXPECT_FALSE(form.Job().Modified);

  dialogs.NextMessageAnswer(MessageResult::kCancel);
  EXPECT_FALSE(form.close());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "您要保存对工作文件所作的更改吗？");
  const std::string saved = dir.Path("FIELD.BDT");
  dialogs.NextMessageAnswer(MessageResult::kYes);
  dialogs.NextSaveAnswer(FileChoice{saved, 1});
  EXPECT_TRUE(form.close());
  EXPECT_EQ(ReadFileBytes(saved), JoinLinesCrLf(both));
}

TEST_F(TransferWindowTest, AReceiveThatEndsInMeasurementsShowsTheText) {
  const std::vector<Frame> frames = {
      test::BinaryCoordinateFrame(test::TopoRecords(1)[0]),
      test::TextFrame(0xA1, {{1, "P2"}, {17, "123.456"}, {25, "90.0000"}, {33, "45.3015"}})};
  WriteFramesFile(dir.Path("MIXED.FRM"), frames);
  InstrumentRun& run = Instrument({"send-frames", dir.Path("MIXED.FRM")});
  Press(Qt::Key_F9);
  EXPECT_EQ(run.Finish(), 0) << run.Errors();

  JobDocument expected;
  for (const Frame& frame : frames) {
    RawUnitState units;
    HandleAcceptedFrame(frame.header, frame.body, expected, units);
  }
  EXPECT_EQ(form.Job().JobText, expected.JobText);
  EXPECT_FALSE(form.Job().CoordinateMode);
  EXPECT_TRUE(form.Job().Modified);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Job1--全站仪测量数据文件"));
  EXPECT_TRUE(form.StringGrid1->isHidden());
  std::string text;
  for (const std::string& line : expected.JobText) text += (text.empty() ? "" : "\n") + line;
  EXPECT_EQ(form.RichEdit1->toPlainText().toStdString(), text);
}

TEST_F(TransferWindowTest, SendOfTheTableReachesTheInstrument) {
  const JobText records = test::TopoRecords(3);
  const std::string job = dir.Write("JOB.BDT", JoinLinesCrLf(records));
  dialogs.NextOpenAnswer(FileChoice{job, 1});
  form.MenuJobOpen->trigger();
  InstrumentRun& run = Instrument({"receive", dir.Path("GOT.BDT")});
  Press(Qt::Key_F10);
  EXPECT_TRUE(transfer.isNull());
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(ReadFileBytes(dir.Path("GOT.BDT")), ReadFileBytes(job));
  EXPECT_EQ(GridRecords(), records);
  EXPECT_FALSE(form.Job().Modified);
}

TEST_F(TransferWindowTest, MoreRecordsThanTheTableHoldsAreToldInABox) {
  WriteFramesFile(dir.Path("MANY.FRM"), test::BinaryCoordinateFrames(test::TopoRecords(16000)));
  InstrumentRun& run = Instrument({"send-frames", dir.Path("MANY.FRM")});
  dialogs.NextMessageAnswer(MessageResult::kOk);
  Press(Qt::Key_F9);
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, kCaptionWarning);
  EXPECT_EQ(dialogs.messages[0].text, TableFullText(16000, 1));
  EXPECT_EQ(form.Table().CountRecords(), 15999);
  EXPECT_EQ(form.Table().Cell(kColName, 15999), "P15999");
  EXPECT_EQ(form.PanelLabel(StatusPanel::kCount)->text(), QString::fromUtf8("总数:15999"));
}

TEST_F(TransferWindowTest, APortThatCannotBeOpenedIsReportedAndNothingArrives) {
  dir.Write("Commpara", "[PortMap]\r\nCOM1=/nonexistent/tty\r\n");
  AcceptSettings();
  script.NextMessageBox();
  Key(Qt::Key_F9);
  EXPECT_TRUE(script.AllDone());
  ASSERT_EQ(script.boxes.size(), 1u);
  EXPECT_EQ(
      script.boxes[0],
      "警告|无法打开串口！程序无法正常运行！|COM1 (/nonexistent/tty)：串口设备不存在（ENOENT）。"
      "请检查数据线是否连接，或在通讯设置中选择其他串口");
  EXPECT_TRUE(form.Job().JobText.empty());
  EXPECT_FALSE(form.StringGrid1->isHidden());
  EXPECT_FALSE(form.Commands().HasUnsavedReceivedLines());
}

TEST_F(TransferWindowTest, ALineThatGoesAwayKeepsTheRecordsAcceptedBeforeIt) {
  const JobText records = test::TopoRecords(5);
  InstrumentRun& run =
      Instrument({"--hangup-after", "2", "send-job", dir.Write("JOB.BDT", JoinLinesCrLf(records))});
  dialogs.NextMessageAnswer(MessageResult::kOk);
  Press(Qt::Key_F9);
  EXPECT_TRUE(transfer.isNull());
  EXPECT_EQ(run.Finish(), 1) << run.Errors();
  EXPECT_EQ(GridRecords(), JobText(records.begin(), records.begin() + 2));
  EXPECT_EQ(form.PanelLabel(StatusPanel::kCount)->text(), QString::fromUtf8("总数:2"));
  EXPECT_TRUE(form.Commands().HasUnsavedReceivedLines());
  // Said after the dialog, not only for its two seconds.
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, UnfinishedReceiveText({TransferOutcome::kLineError, 2}));
  EXPECT_TRUE(form.Job().Modified);
}

TEST_F(TransferWindowTest, CancelKeepsTheRecordsAcceptedSoFar) {
  const JobText records = test::TopoRecords(20);
  Instrument({"--pause", "50", "send-job", dir.Write("JOB.BDT", JoinLinesCrLf(records))});
  AcceptSettings();
  script.While([this] { return transfer.isNull() || transfer->Label3->text() == "0"; },
               [this] { transfer->Button1->click(); });
  dialogs.NextMessageAnswer(MessageResult::kOk);
  Key(Qt::Key_F9);
  EXPECT_TRUE(transfer.isNull());
  const JobText got = form.Job().JobText;
  ASSERT_FALSE(got.empty());
  ASSERT_LT(got.size(), records.size());
  EXPECT_EQ(got, JobText(records.begin(), records.begin() + static_cast<long>(got.size())));
  EXPECT_EQ(GridRecords(), got);
  EXPECT_TRUE(form.Commands().HasUnsavedReceivedLines());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            UnfinishedReceiveText({TransferOutcome::kCancelled, static_cast<int>(got.size())}));
}

TEST_F(TransferWindowTest, RowsAppearWhileTheReceiveRunsAndTheDialogNamesTheLine) {
  const JobText records = test::TopoRecords(40);
  InstrumentRun& run =
      Instrument({"--pause", "50", "send-job", dir.Write("JOB.BDT", JoinLinesCrLf(records))});
  AcceptSettings();
  struct MidReceive {
    std::string firstRow;
    bool readOnly = false;
    QString line, status;
  } mid;
  script.While([this] { return transfer.isNull() || form.Table().Cell(kColName, 1).empty(); },
               [&] {
                 mid = {form.Table().Cell(kColName, 1), form.StringGrid1->ReadOnly(),
                        transfer->LineLabel->text(), transfer->Label1->text()};
               });
  Key(Qt::Key_F9);
  EXPECT_TRUE(script.AllDone());
  EXPECT_EQ(run.Finish(), 0) << run.Errors();
  EXPECT_EQ(mid.firstRow, "P1");
  EXPECT_TRUE(mid.readOnly);
  EXPECT_EQ(mid.line.toStdString(), LineInUseText("COM1", run.FarPath(), 1200));
  EXPECT_EQ(mid.status.toStdString(), kTransferringText);
  EXPECT_EQ(GridRecords(), records);
  EXPECT_FALSE(form.StringGrid1->ReadOnly());
}

}  // namespace
}  // namespace lumaq
