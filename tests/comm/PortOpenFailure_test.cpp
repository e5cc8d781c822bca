// The line after "无法打开串口！程序无法正常运行！": which device, why, and
// what to do.
#include "comm/PortOpenFailure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace lumaq {
namespace {

TEST(DescribePortOpenFailure, EachReasonInTheUsersWords) {
  const std::string access =
      "没有使用此串口设备的权限。请运行 sudo usermod -aG dialout alice，然后注销并重新登录";
  struct Case {
    const char* label;
    EComPort error;
    std::string user;
    std::string expected;
  } cases[] = {
      {"no permission", EComPort(EComPort::kOpenFailed, EACCES), "alice",
       "COM3 (/dev/ttyUSB0)：当前用户 alice " + access +
           " (Unable to open com port (win error code: 13))"},
      {"not permitted", EComPort(EComPort::kOpenFailed, EPERM), "alice",
       "COM3 (/dev/ttyUSB0)：当前用户 alice " + access +
           " (Unable to open com port (win error code: 1))"},
      {"no permission, user unknown", EComPort(EComPort::kOpenFailed, EACCES), "",
       "COM3 (/dev/ttyUSB0)：当前用户没有使用此串口设备的权限。请运行 sudo usermod -aG dialout "
       "$USER，然后注销并重新登录 (Unable to open com port (win error code: 13))"},
      {"no such device", EComPort(EComPort::kOpenFailed, ENOENT), "alice",
       "COM3 (/dev/ttyUSB0)：串口设备不存在 (Unable to open com port (win error code: 2))"},
      {"held by a program that is known",
       EComPort(EComPort::kOpenFailed, EBUSY, "ModemManager (PID 812)"), "alice",
       "COM3 (/dev/ttyUSB0)：串口正被另一程序使用：ModemManager (PID 812) (Unable to open com "
       "port (win error code: 16))"},
      {"locked by a program that is not known", EComPort(EComPort::kOpenFailed, EWOULDBLOCK),
       "alice",
       "COM3 (/dev/ttyUSB0)：串口正被另一程序使用 (Unable to open com port (win error code: "
       "11))"},
      {"another system error", EComPort(EComPort::kOpenFailed, EIO), "alice",
       "COM3 (/dev/ttyUSB0)：Input/output error (Unable to open com port (win error code: 5))"},
      {"settings refused", EComPort(EComPort::kSetStateFailed, EINVAL), "alice",
       "COM3 (/dev/ttyUSB0)：串口无法设置通讯参数：Invalid argument (SetCommState function "
       "failed (win error code: 22))"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(DescribePortOpenFailure(c.error, "COM3 (/dev/ttyUSB0)", c.user), c.expected);
  }
}

}  // namespace
}  // namespace lumaq
