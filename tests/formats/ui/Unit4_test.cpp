#include "formats/ui/Unit4.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "records/JobFiles.h"
#include "support/MessageBoxWatcher.h"
#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace lumaq::ui {
namespace {

using test::TempDir;
using test::WorkingFolder;

class Unit4Test : public ::testing::Test {
 protected:
  TempDir work;
  TempDir program;
  WorkingFolder inWork{work.Folder()};
};

TEST_F(Unit4Test, WithoutSettingsShowsTheDesignedValues) {
  TForm4 form(program.Folder());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("自定义数据格式"));
  EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("数据格式"));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("字段1"));
  EXPECT_EQ(form.Label5->text(), QStringLiteral("字段5"));
  EXPECT_EQ(form.Label6->text(), QStringLiteral("数据格式名"));
  EXPECT_EQ(form.Label7->text(), QStringLiteral("文件扩展名"));
  EXPECT_EQ(form.CheckBox1->text(), QStringLiteral("添加序号"));
  EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("确 定"));
  EXPECT_EQ(form.BitBtn2->text(), QStringLiteral("取消"));
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("自定义1"));
  EXPECT_EQ(form.Edit1->maxLength(), 30);
  EXPECT_EQ(form.Edit2->text(), QStringLiteral("dat"));
  EXPECT_EQ(form.Edit2->maxLength(), 3);
  EXPECT_FALSE(form.CheckBox1->isChecked());
  const QComboBox* lists[] = {form.ComboBox1, form.ComboBox2, form.ComboBox3, form.ComboBox4,
                              form.ComboBox5};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(lists[i]->isEditable());
    EXPECT_EQ(lists[i]->property("Tag").toInt(), i);
    ASSERT_EQ(lists[i]->count(), 5);
    EXPECT_EQ(lists[i]->itemText(0), QStringLiteral("点号"));
    EXPECT_EQ(lists[i]->itemText(4), QStringLiteral("特征码"));
    EXPECT_EQ(lists[i]->currentIndex(), i);
  }
}

TEST_F(Unit4Test, OkStoresTheLayoutAndTheNextDialogShowsIt) {
  {
    TForm4 form(program.Folder());
    form.Edit1->setText(QStringLiteral("测量"));
    QTest::keyClicks(form.Edit1, QStringLiteral("Survey"));
    form.Edit2->setText(QStringLiteral("txt"));
    form.ComboBox1->setCurrentIndex(3);
    form.ComboBox2->setCurrentIndex(1);
    form.ComboBox3->setCurrentIndex(2);
    form.ComboBox4->setCurrentIndex(0);
    form.ComboBox5->setCurrentIndex(4);
    form.CheckBox1->setChecked(true);
    QSignalSpy accepted(&form, &QDialog::accepted);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
  }
  // The name goes to the file in the code page.
  EXPECT_EQ(ReadFileBytes(work.Path("Commpara")),
            "\r\n[UserDefFormat1]\r\nDefName=\xB2\xE2\xC1\xBFSurvey\r\nDefFileExt=txt\r\n"
            "DefOrderWord=312041\r\n");

  TForm4 again(program.Folder());
  EXPECT_EQ(again.Edit1->text(), QStringLiteral("测量Survey"));
  EXPECT_EQ(again.Edit2->text(), QStringLiteral("txt"));
  EXPECT_TRUE(again.CheckBox1->isChecked());
  EXPECT_EQ(again.ComboBox1->currentIndex(), 3);
  EXPECT_EQ(again.ComboBox4->currentIndex(), 0);
  EXPECT_EQ(again.ComboBox5->currentIndex(), 4);
}

// The 30-character limit is for typing: a longer name from the settings file
// is shown and stored back whole.
TEST_F(Unit4Test, AStoredNameLongerThanTheTypingLimitStaysWhole) {
  const std::string name = "\xB2\xE2\xC1\xBF-of-the-northern-river-bank-2024-B";  // 测量..., 36
  program.Write("Commpara", "[UserDefFormat1]\r\nDefName=" + name +
                                "\r\nDefFileExt=txt\r\nDefOrderWord=012340\r\n");
  TForm4 form(program.Folder());
  ASSERT_EQ(form.Edit1->text(), QStringLiteral("测量-of-the-northern-river-bank-2024-B"));
  form.Edit1->end(false);
  QTest::keyClicks(form.Edit1, "X");  // no longer by typing
  EXPECT_EQ(form.Edit1->text().size(), 36);
  form.BitBtn1Click();
  EXPECT_EQ(
      ReadFileBytes(work.Path("Commpara")),
      "\r\n[UserDefFormat1]\r\nDefName=" + name + "\r\nDefFileExt=txt\r\nDefOrderWord=012340\r\n");
}

TEST_F(Unit4Test, TypingKeepsTheNameToThirtyCharacters) {
  const std::string longName(40, 'L');
  struct Case {
    const char* label;
    std::string stored;  // empty: no settings file
    int backspaces;
    int typed;
    int length;
  } cases[] = {
      {"the designed name", "", 5, 40, 30},
      {"a stored name of 30", std::string(30, 'S'), 0, 3, 30},
      {"a stored name of 40, shortened", longName, 15, 20, 30},
      {"a stored name of 40, shortened a little", longName, 3, 5, 37},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove(program.Path("Commpara"));
    if (!c.stored.empty()) {
      program.Write("Commpara", "[UserDefFormat1]\r\nDefName=" + c.stored +
                                    "\r\nDefFileExt=txt\r\nDefOrderWord=012340\r\n");
    }
    TForm4 form(program.Folder());
    form.Edit1->end(false);
    for (int i = 0; i < c.backspaces; ++i) QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    QTest::keyClicks(form.Edit1, QString(c.typed, 'x'));
    EXPECT_EQ(form.Edit1->text().size(), c.length);
  }
}

TEST_F(Unit4Test, CancelStoresNothingAndABadWordShowsTheDesignedValues) {
  program.Write("Commpara",
                "[UserDefFormat1]\r\nDefName=Kept\r\nDefFileExt=abc\r\nDefOrderWord=012350\r\n");
  TForm4 form(program.Folder());
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("自定义1"));
  EXPECT_EQ(form.ComboBox3->currentIndex(), 2);
  QSignalSpy rejected(&form, &QDialog::rejected);
  QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
  EXPECT_EQ(rejected.count(), 1);
  EXPECT_FALSE(std::filesystem::exists(work.Path("Commpara")));
}

TEST_F(Unit4Test, SettingsFileThatCannotBeReadIsReportedOnceShown) {
  // A regular file whose first byte fails to read, even for root.
  std::filesystem::create_symlink("/proc/self/mem", work.Path("Commpara"));
  test::MessageBoxWatcher watcher;
  TForm4 form(program.Folder());
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("自定义1")) << "the designed values";
  QCoreApplication::processEvents();
  EXPECT_TRUE(watcher.boxes.empty()) << "nothing is shown before the dialog";
  form.show();
  ASSERT_TRUE(watcher.WaitForBoxes(1));
  EXPECT_TRUE(watcher.boxes[0].text.startsWith(QStringLiteral("无法读取文件 \"Commpara\"")))
      << watcher.boxes[0].text.toStdString();
  EXPECT_EQ(watcher.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(watcher.boxes[0].parent, &form);
}

TEST_F(Unit4Test, SettingsFileThatCannotBeWrittenIsReportedAndTheDialogStays) {
  std::filesystem::create_directory(work.Path("Commpara"));
  TForm4 form(program.Folder());
  QSignalSpy accepted(&form, &QDialog::accepted);
  test::MessageBoxWatcher watcher;
  form.BitBtn1Click();  // returns once the error box is closed
  EXPECT_EQ(accepted.count(), 0);
  ASSERT_EQ(watcher.boxes.size(), 1u);
  EXPECT_TRUE(watcher.boxes[0].text.startsWith(QStringLiteral("无法写入文件")))
      << watcher.boxes[0].text.toStdString();
  EXPECT_EQ(watcher.boxes[0].parent, &form);
}

}  // namespace
}  // namespace lumaq::ui
