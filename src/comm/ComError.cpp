#include "comm/ComError.h"

#include <string>
#include <utility>

#include "comm/SystemErrorName.h"

namespace lumaq {
namespace {

// What failed, for the user; empty for an unknown number.
std::string ComErrorText(int code) {
  switch (code) {
    case EComPort::kOpenFailed:
      return "无法打开串口";
    case EComPort::kWriteFailed:
      return "无法向串口写入数据";
    case EComPort::kReadFailed:
      return "无法从串口读取数据";
    case EComPort::kInvalidAsync:
      return "串口读写参数无效";
    case EComPort::kPurgeFailed:
      return "无法清除串口缓冲区";
    case EComPort::kAsyncCheckFailed:
      return "无法取得串口的读写状态";
    case EComPort::kSetStateFailed:
      return "无法设置串口通讯参数";
    case EComPort::kTimeoutsFailed:
      return "无法设置串口超时";
    case EComPort::kSetupComFailed:
      return "无法设置串口缓冲区";
    case EComPort::kClearComFailed:
      return "无法查询串口状态";
    case EComPort::kEnumPortsFailed:
      return "无法列出串口";
    case EComPort::kStoreFailed:
      return "无法保存通讯设置";
    case EComPort::kLoadFailed:
      return "无法读取通讯设置";
    default:
      return "";
  }
}

std::string ErrorMessage(int code, int winCode) {
  std::string text = ComErrorText(code);
  if (winCode != -1) text += "（" + SystemErrorName(winCode) + "）";
  return text;
}

}  // namespace

EComPort::EComPort(int code, int winCode, std::string holder)
    : std::runtime_error(ErrorMessage(code, winCode)),
      code_(code),
      winCode_(winCode),
      holder_(std::move(holder)) {}

}  // namespace lumaq
