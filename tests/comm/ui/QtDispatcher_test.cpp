#include "comm/ui/QtDispatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <chrono>
#include <thread>

#include "comm/ComPort.h"
#include "support/PseudoTerminal.h"

namespace lumaq::ui {
namespace {

using namespace std::chrono_literals;

TEST(QtDispatcher, OnRxCharRunsInTheMainThreadsEventLoop) {
  test::PseudoTerminal pty;
  QtDispatcher dispatcher;
  TComPort port(dispatcher);
  ApplyComPort1Design(port);
  port.SetDevicePath(pty.Path());
  bool onMainThread = false;
  int count = 0;
  port.OnRxChar = [&](TCustomComPort& sender, int waiting) {
    onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    count = waiting;
    char bytes[8];
    sender.Read(bytes, waiting);
  };
  port.Open();
  pty.Send("\xAA\xBB");
  EXPECT_TRUE(QTest::qWaitFor([&] { return count > 0; }, 3000));
  EXPECT_TRUE(onMainThread);
  EXPECT_EQ(count, 2);
}

TEST(QtDispatcher, CloseWithAnEventPostedReturnsAndTheEventNeverRuns) {
  test::PseudoTerminal pty;
  QtDispatcher dispatcher;
  int events = 0;
  {
    TComPort port(dispatcher);
    ApplyComPort1Design(port);
    port.SetDevicePath(pty.Path());
    port.OnRxChar = [&](TCustomComPort&, int) { ++events; };
    port.Open();
    pty.Send("x");
    std::this_thread::sleep_for(100ms);  // the event is posted, the loop does not run
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "Close waited for the event";
  }
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(events, 0);
}

}  // namespace
}  // namespace lumaq::ui
