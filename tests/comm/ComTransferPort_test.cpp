// The transfer's line on the real port: what the user is told when it cannot
// be opened or configured.
#include "comm/ComTransferPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/PseudoTerminal.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace lumaq {
namespace {

using ::testing::MatchesRegex;

struct Port {
  LoopDispatcher loop;
  TComPort port{loop};
  ComTransferPort line{port};
  Port() { ApplyComPort1Design(port); }
};

std::string OpenFailure(ComTransferPort& line) {
  try {
    line.Open();
  } catch (const PortOpenError& error) {
    return error.what();
  }
  return "(opened)";
}

TEST(ComTransferPort, OpensTheDeviceAndTalksOverIt) {
  test::PseudoTerminal pty;
  Port p;
  p.port.SetDevicePath(pty.Path());
  p.line.Open();
  EXPECT_TRUE(p.line.Connected());
  const char poll = '\xAA';
  EXPECT_EQ(p.line.Write(&poll, 1), 1);
  EXPECT_EQ(pty.Receive(1, std::chrono::seconds(3)), "\xAA");
}

TEST(ComTransferPort, ADeviceThatDoesNotExistIsNamedWithItsPort) {
  Port p;
  ComPortMap map;
  map.Map(3, "/nonexistent/ttyUSB9");
  p.port.SetPortMap(map);
  p.port.SetPort("COM3");
  EXPECT_EQ(OpenFailure(p.line),
            "COM3 (/nonexistent/ttyUSB9)：串口设备不存在 (Unable to open com port (win error "
            "code: 2))");
  EXPECT_FALSE(p.line.Connected());
}

TEST(ComTransferPort, APortHeldByAnotherProgramIsSaidToBeInUse) {
  test::PseudoTerminal pty;
  Port holder;
  holder.port.SetDevicePath(pty.Path());
  holder.line.Open();
  Port p;
  p.port.SetDevicePath(pty.Path());
  // Refused by the terminal's exclusive mode (EBUSY) or, for root, by the lock
  // (EWOULDBLOCK).
  EXPECT_THAT(OpenFailure(p.line),
              MatchesRegex("\"" + pty.Path() +
                           "\"：串口正被另一程序使用 \\(Unable to open com port \\(win error "
                           "code: (16|11)\\)\\)"));
  EXPECT_FALSE(p.line.Connected());
}

TEST(ComTransferPort, AUserWithoutPermissionIsToldHowToGetIt) {
  // A device the user may not open: no permissions at all (root, who is
  // refused nothing, tries as nobody).
  test::TempDir dir;
  const std::string device = dir.Write("ttyUSB0", "");
  std::filesystem::permissions(device, std::filesystem::perms::none);
  const auto told = test::RunUnprivileged([&] {
    Port p;
    p.port.SetDevicePath(device);
    return CurrentUserName() + "\n" + OpenFailure(p.line);
  });
  if (!told) GTEST_SKIP() << "no user without privileges to be had";
  const std::string user = told->substr(0, told->find('\n'));
  ASSERT_FALSE(user.empty());
  EXPECT_EQ(told->substr(user.size() + 1),
            "\"" + device + "\"：当前用户 " + user +
                " 没有使用此串口设备的权限。请运行 sudo usermod -aG dialout " + user +
                "，然后注销并重新登录 (Unable to open com port (win error code: 13))");
}

TEST(ComTransferPort, APortThatRefusesItsSettingsIsClosedAgainAndSaysSo) {
  test::PseudoTerminal pty;
  Port p;
  p.port.SetDevicePath(pty.Path());
  p.port.SetBaudRate(brCustom);
  p.port.SetCustomBaudRate(0);
  EXPECT_EQ(OpenFailure(p.line), "\"" + pty.Path() +
                                     "\"：串口无法设置通讯参数：Invalid argument (SetCommState "
                                     "function failed (win error code: 22))");
  EXPECT_FALSE(p.line.Connected());
}

}  // namespace
}  // namespace lumaq
