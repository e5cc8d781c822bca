#include "comm/PortOpenFailure.h"

#include <cerrno>
#include <system_error>

namespace lumaq {
namespace {

bool HeldByAnotherProgram(int code) {
  return code == EBUSY || code == EWOULDBLOCK || code == EAGAIN;
}

std::string OpenReason(const EComPort& error, const std::string& userName) {
  const int code = error.WinCode();
  if (code == EACCES || code == EPERM) {
    const std::string user = userName.empty() ? "$USER" : userName;
    const std::string who = userName.empty() ? "当前用户" : "当前用户 " + userName + " ";
    return who + "没有使用此串口设备的权限。请运行 sudo usermod -aG dialout " + user +
           "，然后注销并重新登录";
  }
  if (code == ENOENT) return "串口设备不存在";
  if (HeldByAnotherProgram(code)) {
    std::string text = "串口正被另一程序使用";
    if (!error.Holder().empty()) text += "：" + error.Holder();
    return text;
  }
  return code >= 0 ? std::generic_category().message(code) : std::string();
}

}  // namespace

std::string DescribePortOpenFailure(const EComPort& error, const std::string& device,
                                    const std::string& userName) {
  std::string text = device + "：";
  if (error.Code() == EComPort::kOpenFailed) {
    text += OpenReason(error, userName);
  } else {
    text += "串口无法设置通讯参数";
    if (error.WinCode() >= 0) text += "：" + std::generic_category().message(error.WinCode());
  }
  return text + " (" + error.what() + ")";
}

}  // namespace lumaq
