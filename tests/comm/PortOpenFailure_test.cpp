// The line after "无法打开串口！程序无法正常运行！": which device, why (with the
// system's name of the error), and what to do.
#include "comm/PortOpenFailure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace lumaq {
namespace {

TEST(DescribePortOpenFailure, EachReasonInTheUsersWordsWithWhatToDo) {
  const DeviceAccess uucp{"alice", "uucp", true, false};
  const std::string cable = "。请检查数据线是否连接，或在通讯设置中选择其他串口";
  struct Case {
    const char* label;
    EComPort error;
    DeviceAccess access;
    std::string expected;
  } cases[] = {
      {"no permission: the device's own group", EComPort(EComPort::kOpenFailed, EACCES), uucp,
       "当前用户 alice 没有使用此串口设备的权限（EACCES）。该设备属于 uucp 组：请运行 sudo "
       "usermod -aG uucp alice，然后注销并重新登录（加入的组在新的登录后才生效）"},
      {"not permitted, user unknown",
       EComPort(EComPort::kOpenFailed, EPERM),
       {"", "dialout", true, false},
       "当前用户没有使用此串口设备的权限（EPERM）。该设备属于 dialout 组：请运行 sudo usermod "
       "-aG dialout $USER，然后注销并重新登录（加入的组在新的登录后才生效）"},
      {"in the group, not yet in this login",
       EComPort(EComPort::kOpenFailed, EACCES),
       {"alice", "dialout", true, true},
       "当前用户 alice 没有使用此串口设备的权限（EACCES）。该用户已加入 dialout "
       "组，但本次登录还没有这个组的权限：请注销并重新登录"},
      {"a group that may not use it",
       EComPort(EComPort::kOpenFailed, EACCES),
       {"alice", "tty", false, false},
       "当前用户 alice 没有使用此串口设备的权限（EACCES）。设备所属的 tty "
       "组也不能读写它：请让管理员修改设备的权限"},
      {"group unknown",
       EComPort(EComPort::kOpenFailed, EACCES),
       {"alice", "", true, false},
       "当前用户 alice 没有使用此串口设备的权限（EACCES）。请将该用户加入设备所属的组（ls -l "
       "可以看到），然后注销并重新登录"},
      {"no such device", EComPort(EComPort::kOpenFailed, ENOENT), uucp,
       "串口设备不存在（ENOENT）" + cable},
      {"an adapter pulled out", EComPort(EComPort::kOpenFailed, ENODEV), uucp,
       "串口设备不存在（ENODEV）" + cable},
      {"a line that does not answer", EComPort(EComPort::kOpenFailed, EIO), uucp,
       "串口设备没有响应（EIO）" + cable},
      {"held by a program that is known",
       EComPort(EComPort::kOpenFailed, EBUSY, "ModemManager（PID 812）"), uucp,
       "串口正被另一程序使用（EBUSY）。请先关闭占用该串口的程序 ModemManager（PID 812）"},
      {"locked by a program that is not known", EComPort(EComPort::kOpenFailed, EWOULDBLOCK), uucp,
       "串口正被另一程序使用（EAGAIN）。请先关闭占用该串口的程序"},
      {"no serial port", EComPort(EComPort::kOpenFailed, ENOTTY), uucp,
       "这不是串口（ENOTTY）。请在通讯设置中选择串口"},
      {"another system error", EComPort(EComPort::kOpenFailed, ENAMETOOLONG), uucp,
       "串口无法打开：文件名太长（ENAMETOOLONG）"},
      {"settings refused", EComPort(EComPort::kSetStateFailed, EINVAL), uucp,
       "串口无法设置通讯参数（EINVAL）。请在通讯设置中选择其他波特率或其他串口"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(DescribePortOpenFailure(c.error, "COM3 (/dev/ttyUSB0)", c.access),
              "COM3 (/dev/ttyUSB0)：" + c.expected);
  }
}

}  // namespace
}  // namespace lumaq
