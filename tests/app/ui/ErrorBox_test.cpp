// The one error box (src/ui/ErrorBox.h), as every window shows it.
#include "ui/ErrorBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <new>
#include <stdexcept>

#include "support/MessageBoxWatcher.h"

namespace lumaq {
namespace {

TEST(ErrorBox, ShowsTheErrorsWordsAndRunningOutOfMemoryInTheProgramsWords) {
  const struct {
    const char* label;
    std::exception_ptr error;
    QString text;
  } cases[] = {
      {"a file error", std::make_exception_ptr(std::runtime_error("无法打开文件 \"A.BDT\"")),
       QString::fromUtf8("无法打开文件 \"A.BDT\"。")},
      {"out of memory", std::make_exception_ptr(std::bad_alloc()),
       QString::fromUtf8("内存不足，无法完成操作。")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    test::MessageBoxWatcher watcher;
    try {
      std::rethrow_exception(c.error);
    } catch (const std::exception& error) {
      ui::ShowErrorBox(error);
    }
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].text, c.text);
    EXPECT_EQ(watcher.boxes[0].icon, QMessageBox::Critical);
  }
}

}  // namespace
}  // namespace lumaq
