// The transfer dialog TForm2 on its own, offscreen, with the simulated
// instrument on a pseudo-terminal at the far end of COM1.
#include "comm/ui/Trans.h"

#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comm/FramesFile.h"
#include "comm/TransferTimings.h"
#include "comm/ui/Unit3.h"
#include "records/RecordLine.h"
#include "support/InstrumentFrames.h"
#include "support/InstrumentRun.h"
#include "support/ModalDialogs.h"
#include "support/TempDir.h"

namespace lumaq::ui {
namespace {

using namespace std::chrono_literals;
using test::InstrumentRun;

class TransTest : public ::testing::Test {
 protected:
  InstrumentRun& Instrument(std::vector<std::string> arguments) {
    instrument = test::InstrumentOnCom1(dir, std::move(arguments));
    return *instrument;
  }
  void AcceptSettings() {
    script.Next<TForm3>([](TForm3* settings) { settings->Button1->click(); });
  }

  test::TempDir dir;
  JobDocument job;
  RawUnitState units;
  test::ModalDialogs script;
  std::unique_ptr<InstrumentRun> instrument;
};

TEST_F(TransTest, ControlsAndCaptions) {
  TForm2 form(job, TransferDirection::kReceive, dir.Folder(), nullptr, units);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("数据传输"));
  EXPECT_EQ(form.Label1->text(), QString::fromUtf8("正在与全站仪转输数据，请稍候..."));
  EXPECT_EQ(form.Label2->text(), QString::fromUtf8("已传输记录数"));
  EXPECT_EQ(form.Label3->text(), "0");
  EXPECT_EQ(form.Button1->text(), QString::fromUtf8("取 消"));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                                     Qt::WindowMinMaxButtonsHint));
  EXPECT_EQ(kTimer1Interval, 100ms);
  EXPECT_FALSE(form.Driver().Timer1Enabled());
  EXPECT_EQ(form.ComPort1.BaudRate(), br1200);
}

// Cancel clicked just before the port reports a header: its close request is
// still queued when the header step lets messages run. The frame the step has
// begun is still received, and only then does the dialog close and write back
// what the frame said (measurement data), so the job's mode matches the text
// it got.
TEST_F(TransTest, ACancelDuringAStepClosesAfterTheFrame) {
  const Frame frame = test::TextFrame(0xA1, {{1, "P2"}, {17, "123.456"}});
  WriteFramesFile(dir.Path("ONE.FRM"), {frame});
  Instrument({"send-frames", dir.Path("ONE.FRM")});
  TForm2 form(job, TransferDirection::kReceive, dir.Folder(), nullptr, units);
  AcceptSettings();
  form.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.ComPort1.Connected(); }, 10000));

  // The header is waiting; its event is held back while this test clicks and
  // then runs the step itself, as the port would.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (form.ComPort1.InputCount() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_EQ(form.ComPort1.InputCount(), 1);
  form.Button1->click();
  form.ComPort1.OnRxChar(form.ComPort1, 1);

  EXPECT_EQ(form.Session().TransferCount(), 1);
  EXPECT_TRUE(form.isVisible()) << "closed inside the step";
  // (The instrument's end byte may come first and close it instead.)
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
  EXPECT_FALSE(job.CoordinateMode);
  EXPECT_EQ(job.JobText.size(), 2u);  // the separator and the observation
}

TEST_F(TransTest, ARecordThatCannotBeSentIsNamedInAWarning) {
  const std::string gbName = "\xB2\xE2\xB5\xE3";  // 测点 in the code page
  job.JobText = {ComposeRecordLine("P1", "", "1", "2", "3"),
                 ComposeRecordLine(gbName, "", "abc", "2", "3")};
  InstrumentRun& run = Instrument({"receive", dir.Path("GOT.BDT")});
  TForm2 form(job, TransferDirection::kSend, dir.Folder(), nullptr, units);
  AcceptSettings();
  script.NextMessageBox();
  form.exec();
  EXPECT_TRUE(script.AllDone());
  ASSERT_EQ(script.boxes.size(), 1u);
  EXPECT_EQ(script.boxes[0],
            "警告|第 2 行的记录（点号 测点）无法发送：坐标数据无法发送（不是数字或超出 "
            "-999999.999~9999999.999）：\"abc\"|");
  EXPECT_EQ(form.Session().Outcome(), TransferOutcome::kUnsendableRecord);
  EXPECT_EQ(form.Session().TransferCount(), 1);
  EXPECT_EQ(form.Label3->text(), "1");
  form.ComPort1.Close();
  EXPECT_NE(run.Finish(), 0) << "the instrument never got the end byte";
  EXPECT_EQ(ReadFileBytes(dir.Path("GOT.BDT")),
            ComposeRecordLine("P1", "", "1.000", "2.000", "3.000") + "\r\n");
}

// 取消 in the settings ends the transfer before the port opens: the
// instrument, waiting to receive, is still at its start when a program
// opens the line next, and has received nothing.
TEST_F(TransTest, CancelInTheSettingsSendsNothing) {
  job.JobText = {ComposeRecordLine("P1", "", "1", "2", "3")};
  InstrumentRun& run = Instrument({"receive", dir.Path("GOT.BDT")});
  TForm2 form(job, TransferDirection::kSend, dir.Folder(), nullptr, units);
  script.Next<TForm3>([](TForm3* settings) { settings->Button2->click(); });
  EXPECT_EQ(form.exec(), QDialog::Rejected);
  EXPECT_TRUE(script.AllDone());
  EXPECT_EQ(form.Session().TransferCount(), 0);
  EXPECT_EQ(form.Label3->text(), "0");

  run.Send("\xAA");  // a poll, as a program's first
  EXPECT_EQ(run.Next(1), "BB") << "the instrument asks for its first record";
  EXPECT_EQ(run.Finish(), 1) << "it never got the end byte";
  EXPECT_FALSE(std::filesystem::exists(dir.Path("GOT.BDT"))) << "it saved nothing";
}

}  // namespace
}  // namespace lumaq::ui
