// The main window fits its screen and its own size: placed inside the
// available area, its columns sharing the width, its toolbar keeping every
// control within reach.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <numeric>
#include <vector>

#include "app/ui/Zivoru_main.h"
#include "support/ScriptedDialogs.h"
#include "ui/WindowPlacement.h"

namespace lumaq {
namespace {

using test::ScriptedDialogs;

TEST(FittedClientRect, StaysInsideTheAvailableAreaAndCentresThere) {
  const QSize designed(559, 735);
  struct Case {
    const char* label;
    QMargins frame;
    QRect available;
    QRect client;
  } cases[] = {
      {"room enough", {}, {0, 0, 1920, 1040}, {680, 152, 559, 735}},
      {"1280x1024 at scale 1.5, no frame yet", {}, {0, 0, 853, 682}, {147, 0, 559, 682}},
      {"the same with a title bar", {4, 30, 4, 4}, {0, 0, 853, 682}, {147, 30, 559, 648}},
      {"a panel on the left and at the top", {}, {48, 32, 752, 568}, {144, 32, 559, 568}},
      {"narrower than designed", {2, 2, 2, 2}, {0, 0, 400, 900}, {2, 82, 396, 735}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const QRect client = ui::FittedClientRect(designed, c.frame, c.available);
    EXPECT_EQ(client, c.client);
    EXPECT_TRUE(c.available.contains(client.marginsAdded(c.frame)));
  }
}

class WindowFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.FormCreate({}, /*showSplash=*/false);
    form.setAnimated(false);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  QToolBar* Toolbar() { return form.findChild<QToolBar*>("Panel1"); }

  std::vector<QWidget*> Controls() {
    return {form.Button_New,  form.Button_Save,   form.Button_Open,  form.Button_Print,
            form.Button_Sort, form.Button_Del,    form.Button_Clear, form.Edit1,
            form.Button_Find, form.Button_Import, form.Button_Export};
  }

  // Resizes the window and waits until its layout has followed.
  void ResizeTo(QSize size) {
    form.resize(size);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.size() == size; }));
    QCoreApplication::processEvents();
  }

  ScriptedDialogs dialogs;
  ui::TForm1 form{&dialogs};
};

// Run on the default offscreen screen and again, by CTest, on a screen of
// 1280x1024 at a scale factor of 1.5, where 683 pixels are available in
// height: less than the designed 735.
// Once its frame is known the window takes the whole height it leaves.
TEST_F(WindowFitTest, TheFirstWindowLiesInsideTheAvailableArea) {
  const QRect available = form.screen()->availableGeometry();
  const auto frameHeight = [&] { return form.frameGeometry().height() - form.height(); };
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return available.contains(form.frameGeometry()) &&
           form.height() == std::min(735, available.height() - frameHeight());
  })) << form.frameGeometry().height()
      << " in " << available.height();
  EXPECT_EQ(form.width(), 559);
}

TEST_F(WindowFitTest, ToolbarControlsStandWhereTheDesignPutsThem) {
  ASSERT_NE(Toolbar(), nullptr);
  EXPECT_EQ(Toolbar()->height(), 40);
  const int designedX[] = {10, 42, 74, 106, 158, 190, 222, 278, 408, 466, 508};
  const std::vector<QWidget*> controls = Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    SCOPED_TRACE(controls[i]->objectName().toStdString());
    EXPECT_TRUE(controls[i]->isVisible());
    EXPECT_EQ(controls[i]->mapTo(Toolbar(), QPoint(0, 0)).x(), designedX[i]);
  }
}

TEST_F(WindowFitTest, ASmallWindowKeepsEveryToolbarControlWithinReach) {
  ResizeTo(QSize(300, 400));
  ASSERT_NE(Toolbar(), nullptr);
  auto* overflow = Toolbar()->findChild<QToolButton*>("qt_toolbar_ext_button");
  ASSERT_NE(overflow, nullptr);
  EXPECT_TRUE(overflow->isVisible());
  std::vector<QWidget*> behind;
  for (QWidget* control : Controls()) {
    if (!control->isVisible()) behind.push_back(control);
  }
  ASSERT_FALSE(behind.empty());
  EXPECT_FALSE(form.Button_Export->isVisible());
  QTest::mouseClick(overflow, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return std::all_of(behind.begin(), behind.end(), [](QWidget* w) { return w->isVisible(); });
  }));
  QTest::mouseClick(form.Button_Export, Qt::LeftButton);  // Send, on an empty table: nothing
  EXPECT_TRUE(dialogs.messages.empty());
}

// The columns keep their designed widths in the designed window and share
// whatever a wider window adds, so that the blank right of them stays as
// narrow as the design has it.
TEST_F(WindowFitTest, TheColumnsShareTheWidthOfAGrowingWindow) {
  const std::vector<int> designed{96, 110, 110, 110, 96};
  const auto widths = [&] {
    std::vector<int> w;
    for (int c = 0; c < kColumnCount; ++c) w.push_back(form.StringGrid1->columnWidth(c));
    return w;
  };
  const auto blank = [&] {
    const std::vector<int> w = widths();
    return form.StringGrid1->viewport()->width() - std::accumulate(w.begin(), w.end(), 0);
  };
  ASSERT_EQ(form.width(), 559);
  EXPECT_EQ(widths(), designed);
  const int designedBlank = blank();
  EXPECT_GE(designedBlank, 0);

  ResizeTo(QSize(1100, 500));
  const std::vector<int> wide = widths();
  EXPECT_EQ(blank(), designedBlank);
  const double scale = (522.0 + 1100 - 559) / 522.0;
  for (std::size_t c = 0; c < designed.size(); ++c) {
    SCOPED_TRACE(c);
    EXPECT_NEAR(wide[c], designed[c] * scale, 4.0);
  }

  ResizeTo(QSize(559, 500));
  EXPECT_EQ(widths(), designed);
  ResizeTo(QSize(400, 500));
  EXPECT_EQ(widths(), designed);
}

}  // namespace
}  // namespace lumaq
