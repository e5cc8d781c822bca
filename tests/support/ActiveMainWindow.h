// The main window as the window tests start it: created without the splash,
// shown and made the active window, so that keys reach it.
#pragma once

#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "app/ui/Zivoru_main.h"

namespace lumaq::test {

inline void StartActiveMainWindow(ui::TForm1& form) {
  form.FormCreate({}, /*showSplash=*/false);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

}  // namespace lumaq::test
