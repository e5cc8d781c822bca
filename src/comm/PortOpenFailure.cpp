#include "comm/PortOpenFailure.h"

#include <cerrno>

#include "comm/SystemErrorName.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

constexpr const char* kCheckCable = "请检查数据线是否连接，或在通讯设置中选择其他串口";

std::string HeldText(const EComPort& error) {
  std::string text = "请先关闭占用该串口的程序";
  if (!error.Holder().empty()) text += " " + error.Holder();
  return text;
}

std::string NoPermissionText(const DeviceAccess& access, const std::string& name) {
  const std::string who =
      access.userName.empty() ? "当前用户" : "当前用户 " + access.userName + " ";
  const std::string reason = who + "没有使用此串口设备的权限" + name + "。";
  if (access.group.empty()) {
    return reason + "请将该用户加入设备所属的组（ls -l 可以看到），然后注销并重新登录";
  }
  if (!access.groupMayUse) {
    return reason + "设备所属的 " + access.group + " 组也不能读写它：请让管理员修改设备的权限";
  }
  if (access.userInGroup) {
    return reason + "该用户已加入 " + access.group +
           " 组，但本次登录还没有这个组的权限：请注销并重新登录";
  }
  const std::string user = access.userName.empty() ? "$USER" : access.userName;
  return reason + "该设备属于 " + access.group + " 组：请运行 sudo usermod -aG " + access.group +
         " " + user + "，然后注销并重新登录（加入的组在新的登录后才生效）";
}

// The reason the device could not be opened, and what to do.
std::string OpenReason(const EComPort& error, const DeviceAccess& access) {
  const int code = error.WinCode();
  const std::string name = "（" + SystemErrorName(code) + "）";
  switch (code) {
    case EACCES:
    case EPERM:
      return NoPermissionText(access, name);
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "串口设备不存在" + name + "。" + kCheckCable;
    case EIO:
      return "串口设备没有响应" + name + "。" + kCheckCable;
    case EBUSY:
    case EAGAIN:
      return "串口正被另一程序使用" + name + "。" + HeldText(error);
    case ENOTTY:
    case EISDIR:
      return "这不是串口" + name + "。请在通讯设置中选择串口";
    case -1:
      return "串口无法打开";
    default:
      return "串口无法打开：" + FileErrorReason(code) + name;
  }
}

}  // namespace

std::string DescribePortOpenFailure(const EComPort& error, const std::string& device,
                                    const DeviceAccess& access) {
  if (error.Code() == EComPort::kOpenFailed) return device + "：" + OpenReason(error, access);
  std::string text = device + "：串口无法设置通讯参数";
  if (error.WinCode() >= 0) text += "（" + SystemErrorName(error.WinCode()) + "）";
  return text + "。请在通讯设置中选择其他波特率或其他串口";
}

}  // namespace lumaq
