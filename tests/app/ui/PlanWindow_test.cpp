#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>

#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ActiveMainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::ScriptedDialogs;
using test::TempDir;

// A 5 x 5 grid of 10 m whose ninth point was typed with N and E swapped.
std::string SwappedJob() {
  JobText lines;
  for (int i = 0; i < 25; ++i) {
    std::string n = std::to_string(3421000 + 10 * (i % 5));
    std::string e = std::to_string(512000 + 10 * (i / 5));
    if (i == 8) std::swap(n, e);
    lines.push_back(ComposeRecordLine("P" + std::to_string(i + 1), "", n, e, "1.000"));
  }
  return JoinLinesCrLf(lines);
}

class PlanWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartActiveMainWindow(form);
    dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", SwappedJob()), 1});
    form.MenuJobOpen->trigger();
  }

  void ShowPlan() {
    QTest::keyClick(&form, Qt::Key_F6);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.PlanView1));
  }

  void ClickRow(int row) {
    const std::optional<QPoint> at = form.PlanView1->ViewPointOfRow(row);
    ASSERT_TRUE(at);
    QTest::mouseClick(form.PlanView1, Qt::LeftButton, {}, *at + QPoint(2, -2));
  }

  TempDir dir;
  ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs};
};

TEST_F(PlanWindowTest, F6SwitchesToThePlanAndBackWithItsOwnStatusPanel) {
  ShowPlan();
  EXPECT_TRUE(form.StringGrid1->isHidden());
  EXPECT_TRUE(form.MenuPlan->isChecked());
  EXPECT_TRUE(form.Button_Plan->isChecked());
  EXPECT_TRUE(form.PanelLabel(StatusPanel::kCount)->isHidden());
  EXPECT_EQ(form.PlanPanel->text(), QString::fromUtf8("离群点:P9 点数:25"));
  QTest::mouseMove(form.PlanView1, QPoint(200, 300));
  EXPECT_TRUE(form.PanelLabel(StatusPanel::kHint)->text().startsWith("N "));

  QTest::keyClick(&form, Qt::Key_F6);
  EXPECT_TRUE(form.PlanView1->isHidden());
  EXPECT_FALSE(form.StringGrid1->isHidden());
  EXPECT_FALSE(form.PanelLabel(StatusPanel::kCount)->isHidden());
  EXPECT_TRUE(form.PlanPanel->isHidden());
}

TEST_F(PlanWindowTest, AMeasurementJobHasNoPlan) {
  ShowPlan();
  dialogs.NextOpenAnswer(FileChoice{dir.Write("NOTES.TXT", "a\r\n"), 3});
  form.MenuJobOpen->trigger();
  EXPECT_TRUE(form.PlanView1->isHidden());
  EXPECT_FALSE(form.RichEdit1->isHidden());
  for (QAction* item : {form.MenuPlan, form.MenuPlanExport}) EXPECT_FALSE(item->isEnabled());
  EXPECT_FALSE(form.Button_Plan->isEnabled());
  QTest::keyClick(&form, Qt::Key_F6);
  EXPECT_TRUE(form.PlanView1->isHidden());
  form.MenuJobNew->trigger();
  EXPECT_TRUE(form.MenuPlan->isEnabled());
  EXPECT_TRUE(form.Button_Plan->isEnabled());
}

// The swapped point stands alone in a corner of the plan: a click on it
// selects its row, Delete takes it out of the plan at once, undo brings it
// back, and the table shows the row the plan selected.
TEST_F(PlanWindowTest, ClickingTheSwappedPointSelectsItsRowAndEditsShowAtOnce) {
  ShowPlan();
  ClickRow(9);
  EXPECT_EQ(form.Table().CurrentRow(), 9);
  EXPECT_EQ(form.PanelLabel(StatusPanel::kRow)->text(), QString::fromUtf8("当前行:9"));

  dialogs.NextMessageAnswer(MessageResult::kYes);
  form.MenuDelRec->trigger();
  EXPECT_EQ(form.PlanView1->Scene().Points().size(), 24u);
  EXPECT_EQ(form.PlanPanel->text(), QString::fromUtf8("点数:24"));
  form.UndoAction->trigger();
  EXPECT_EQ(form.PlanView1->Scene().Points().size(), 25u);
  EXPECT_EQ(form.PlanPanel->text(), QString::fromUtf8("离群点:P9 点数:25"));

  QTest::keyClick(&form, Qt::Key_F6);
  EXPECT_EQ(form.StringGrid1->currentIndex().row(), 8);
}

TEST_F(PlanWindowTest, FindBringsThePointOfTheRowFoundIntoSight) {
  ShowPlan();
  QWheelEvent zoom(QPointF(form.PlanView1->ViewPointOfRow(9).value()), QPointF(), QPoint(),
                   QPoint(0, 120 * 20), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.PlanView1, &zoom);
  EXPECT_FALSE(form.PlanView1->rect().contains(*form.PlanView1->ViewPointOfRow(3)));
  form.Edit1->setText("p3");
  QTest::keyClick(form.Edit1, Qt::Key_Return);
  EXPECT_EQ(form.Table().CurrentRow(), 3);
  EXPECT_TRUE(form.PlanView1->rect().contains(*form.PlanView1->ViewPointOfRow(3)));
}

TEST_F(PlanWindowTest, WheelZoomsAboutThePointerDragPansHomeShowsAll) {
  ShowPlan();
  ui::PlanWidget* plan = form.PlanView1;
  const QPoint p9 = *plan->ViewPointOfRow(9);
  const double fitted = plan->Transform().Scale();
  QWheelEvent zoom(QPointF(p9), QPointF(), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(plan, &zoom);
  EXPECT_DOUBLE_EQ(plan->Transform().Scale(), fitted * 1.25 * 1.25);
  const QPoint zoomed = *plan->ViewPointOfRow(9);
  EXPECT_LE((zoomed - p9).manhattanLength(), 2);  // p9 was rounded to whole pixels

  QTest::mousePress(plan, Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseMove(plan, QPoint(130, 80));
  QTest::mouseRelease(plan, Qt::LeftButton, {}, QPoint(130, 80));
  EXPECT_EQ(*plan->ViewPointOfRow(9), zoomed + QPoint(30, -20));
  EXPECT_EQ(form.Table().CurrentRow(), 1);  // a drag selects nothing

  QTest::keyClick(plan, Qt::Key_Home);
  EXPECT_DOUBLE_EQ(plan->Transform().Scale(), fitted);
  EXPECT_EQ(*plan->ViewPointOfRow(9), p9);
}

TEST_F(PlanWindowTest, ExportsThePlanAsPdfSvgAndPng) {
  const std::pair<const char*, std::string> files[] = {
      {"plan.pdf", "%PDF"}, {"plan.svg", "<?xml"}, {"plan.png", "\x89PNG"}};
  for (const auto& [name, magic] : files) {
    dialogs.NextSaveAnswer(FileChoice{dir.Path(name), 1});
    form.MenuPlanExport->trigger();
    EXPECT_EQ(ReadFileBytes(dir.Path(name)).substr(0, magic.size()), magic) << name;
  }
  EXPECT_NE(ReadFileBytes(dir.Path("plan.svg")).find(">平面图<"), std::string::npos);
}

}  // namespace
}  // namespace lumaq
