#include "app/ui/MeasurementTextView.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTest>

namespace lumaq {
namespace {

// The view keeps the lines' bytes and decodes only what it shows or copies:
// a GB2312 point name comes out as its Chinese text, lines chosen in any order
// are copied in the job's order, and Ctrl+A with Ctrl+C gives the whole text.
TEST(MeasurementTextViewTest, ChosenLinesAreCopiedDecodedInTheirOrder) {
  ui::MeasurementTextView view;
  view.SetLines({"STN A1",
                 "PT \xB5\xE3"
                 "1 12.5",
                 "PT B2 7.25", "END"});
  view.resize(300, 200);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const QString allText = QString::fromUtf8("STN A1\nPT 点1 12.5\nPT B2 7.25\nEND");
  EXPECT_EQ(view.toPlainText(), allText);

  struct Case {
    std::vector<int> chosen;
    const char* copied;
  };
  const Case cases[] = {
      {{2, 1}, "PT 点1 12.5\nPT B2 7.25"},
      {{3, 0}, "STN A1\nEND"},
      {{1}, "PT 点1 12.5"},
  };
  for (const Case& c : cases) {
    view.clearSelection();
    for (int row : c.chosen) {
      view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::Select);
    }
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(c.copied));
  }
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), allText);

  // A new job replaces every line and shows from the first.
  view.SetLines({"ONLY"});
  EXPECT_EQ(view.toPlainText(), "ONLY");
  EXPECT_EQ(view.model()->rowCount(), 1);
}

}  // namespace
}  // namespace lumaq
