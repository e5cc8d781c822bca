#include "comm/ComTransferPort.h"

#include <cerrno>
#include <system_error>

namespace lumaq {
namespace {

bool HeldByAnotherProgram(int code) {
  return code == EBUSY || code == EWOULDBLOCK || code == EAGAIN;
}

}  // namespace

void ComTransferPort::Open() {
  try {
    port_.Open();
  } catch (const EComPort& error) {
    throw PortOpenError(PortOpenFailureDetail(port_, error));
  }
}

std::string PortOpenFailureDetail(const TCustomComPort& port, const EComPort& error) {
  const std::string device = port.ResolvedDevicePath();
  std::string text =
      port.DevicePath().empty() ? port.Port() + " (" + device + ")" : "\"" + device + "\"";
  text += "：";
  const int code = error.WinCode();
  const std::string reason = code >= 0 ? std::generic_category().message(code) : "";
  if (error.Code() == EComPort::kOpenFailed && HeldByAnotherProgram(code)) {
    text += "串口正被另一程序使用";
  } else if (error.Code() == EComPort::kOpenFailed) {
    text += reason;
  } else {
    text += "串口无法设置通讯参数";
    if (!reason.empty()) text += "：" + reason;
  }
  return text + " (" + error.what() + ")";
}

}  // namespace lumaq
