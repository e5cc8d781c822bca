#include <gtest/gtest.h>

#include <algorithm>

#include "app/MainCommands.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/HeadlessWindow.h"
#include "support/RecordingPrintSurface.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::PrintCall;
using test::PrintLog;
using test::RecordingPrintSurface;

// Pictures that record what they are asked for and drawn.
struct RecordingPictures : PlanPictures {
  std::unique_ptr<PictureSurface> NewPicture(PictureKind kind) override {
    kinds.push_back(kind);
    return std::make_unique<RecordingPrintSurface>(log, 2000, 1400);
  }
  std::vector<PictureKind> kinds;
  PrintLog log;
};

class MainPlanCommandsTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override {
    commands.StartUp({});
    // A 5 x 5 grid of 10 m and, in row 9, a point typed with N and E swapped.
    JobText lines;
    for (int i = 0; i < 25; ++i) {
      lines.push_back(ComposeRecordLine("P" + std::to_string(i + 1), "",
                                        std::to_string(3421000 + 10 * (i % 5)),
                                        std::to_string(512000 + 10 * (i / 5)), "1.000"));
    }
    lines[8] = ComposeRecordLine("P9", "", "512020", "3421030", "1.000");
    dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", JoinLinesCrLf(lines)), 1});
    commands.MenuJobOpenClick();
  }

  std::vector<PrintCall> Calls(PrintCall::Kind kind) const {
    std::vector<PrintCall> calls;
    std::copy_if(log.calls.begin(), log.calls.end(), std::back_inserter(calls),
                 [&](const PrintCall& c) { return c.kind == kind; });
    return calls;
  }

  test::TempDir dir;
  PrintLog log;
};

TEST_F(MainPlanCommandsTest, F6SwitchesToThePlanAndBackInACoordinateJobOnly) {
  commands.MenuPlanClick();
  EXPECT_TRUE(view.planShown);
  commands.MenuPlanClick();
  EXPECT_FALSE(view.planShown);
  commands.MenuPlanClick();
  // A measurement job has no plan; the next coordinate job starts at the table.
  dialogs.NextOpenAnswer(FileChoice{dir.Write("NOTES.TXT", "a\r\n"), 3});
  commands.MenuJobOpenClick();
  EXPECT_FALSE(view.planShown);
  EXPECT_FALSE(commands.PlanShown());
  commands.MenuPlanClick();
  EXPECT_FALSE(commands.PlanShown());
  commands.MenuJobNewClick();
  commands.MenuPlanClick();
  EXPECT_TRUE(view.planShown);
}

TEST_F(MainPlanCommandsTest, AClickedPointMakesItsRowCurrentUnlessTheCellLeftRefuses) {
  EXPECT_TRUE(commands.SelectRecordRow(9));
  EXPECT_EQ(table.CurrentRow(), 9);
  EXPECT_EQ(table.CurrentColumn(), kColName);
  EXPECT_EQ(view.panels[StatusPanel::kRow], "当前行:9");

  ASSERT_TRUE(commands.StringGrid1SelectCell(kColN, 3));
  table.SetCell(kColN, 3, "12345678.9");
  dialogs.NextMessageAnswer(MessageResult::kOk);
  EXPECT_FALSE(commands.SelectRecordRow(9));
  EXPECT_EQ(table.CurrentRow(), 3);
  EXPECT_FALSE(commands.SelectRecordRow(0));
}

TEST_F(MainPlanCommandsTest, PrintWhileThePlanIsShownPrintsTheTableAsAPlan) {
  table.SetRowCells(26, {"NEW", "3421020", "512020.5", "", ""});  // typed, not tidied
  commands.MenuPlanClick();
  dialogs.NextPrinterAnswer(std::make_unique<RecordingPrintSurface>(log, 1000, 700, 20, 10));
  commands.MenuJobPrintClick();
  EXPECT_EQ(dialogs.printTitles, std::vector<std::string>{"打印平面图JOB.BDT--全站仪坐标记录文件"});
  const std::vector<PrintCall> dots = Calls(PrintCall::Kind::kDot);
  ASSERT_EQ(dots.size(), 26u);
  EXPECT_EQ(dots.back().ink, Ink::kOutlier);  // drawn last, over the rest
  EXPECT_EQ(std::count_if(dots.begin(), dots.end(),
                          [](const PrintCall& c) { return c.ink == Ink::kOutlier; }),
            1);
  const std::vector<PrintCall> texts = Calls(PrintCall::Kind::kText);
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "JOB.BDT 平面图");
  std::vector<std::string> summary;
  for (std::size_t i = 1; i <= 3; ++i) summary.push_back(texts[i].text);
  EXPECT_EQ(summary, (std::vector<std::string>{"离群点:", "P9", " "}));
  EXPECT_EQ(texts[2].encoding, TextEncoding::kCodePage);
  // The outlier's label is red; the north arrow and the scale bar close the page.
  const auto p9 = std::find_if(texts.begin() + 5, texts.end(),
                               [](const PrintCall& c) { return c.text == "P9"; });
  ASSERT_NE(p9, texts.end());
  EXPECT_EQ(p9->ink, Ink::kOutlier);
  EXPECT_EQ(texts[texts.size() - 2].text, "N");
  EXPECT_EQ(texts.back().text, "1000000 m");
  EXPECT_EQ(Calls(PrintCall::Kind::kLine).size(), 4u + 4u + 3u);  // frame, arrow, bar
  EXPECT_EQ(log.Count(PrintCall::Kind::kEndDoc), 1);

  // A page too small for a plan is refused; the table view prints the listing.
  dialogs.NextPrinterAnswer(std::make_unique<RecordingPrintSurface>(log, 1000, 200, 20, 10));
  dialogs.NextMessageAnswer(MessageResult::kOk);
  commands.MenuJobPrintClick();
  EXPECT_EQ(dialogs.messages.back().text, kPageTooSmallForPlan);
  commands.MenuPlanClick();
  dialogs.NextPrinterAnswer(nullptr);
  commands.MenuJobPrintClick();
  EXPECT_EQ(dialogs.printTitles.back(), "打印全站仪坐标文件JOB.BDT--全站仪坐标记录文件");
}

TEST_F(MainPlanCommandsTest, ExportWritesThePictureOfTheTypeChosenOrNamed) {
  RecordingPictures pictures;
  struct Case {
    const char* typed;
    int type;
    const char* written;
    PictureKind kind;
  } cases[] = {{"plan", 2, "plan.svg", PictureKind::kSvg},
               {"shot.png", 1, "shot.png", PictureKind::kPng},
               {"print", 1, "print.pdf", PictureKind::kPdf}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    pictures.kinds.clear();
    pictures.log.calls.clear();
    dialogs.NextSaveAnswer(FileChoice{dir.Path(c.typed), c.type});
    commands.MenuPlanExportClick(pictures);
    EXPECT_EQ(pictures.kinds, std::vector<PictureKind>{c.kind});
    EXPECT_EQ(ReadFileBytes(dir.Path(c.written)),
              "picture of " + std::to_string(pictures.log.calls.size()) + " calls");
  }
  const FileDialogRequest& first = dialogs.saveRequests.front();
  EXPECT_EQ(first.title, "导出平面图");
  EXPECT_EQ(first.filter, kFilterPlanPictures);
  EXPECT_EQ(first.fileName, "JOB");
  EXPECT_EQ(first.filterIndex, 1);
  EXPECT_EQ(dialogs.saveRequests[1].filterIndex, 2);  // the type chosen last
  EXPECT_EQ(commands.FileDialogs().Folder(), dir.Folder());
  EXPECT_EQ(commands.FileDialogs().TypeIndex(FileDialogKind::kSave, 2), 1);  // Save As's own
}

}  // namespace
}  // namespace lumaq
