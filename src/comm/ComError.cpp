#include "comm/ComError.h"

#include <string>
#include <utility>

namespace lumaq {
namespace {

// The English text of an error number; empty for an unknown one.
std::string ComErrorText(int code) {
  switch (code) {
    case EComPort::kOpenFailed:
      return "Unable to open com port";
    case EComPort::kWriteFailed:
      return "WriteFile function failed";
    case EComPort::kReadFailed:
      return "ReadFile function failed";
    case EComPort::kInvalidAsync:
      return "Invalid Async parameter";
    case EComPort::kPurgeFailed:
      return "PurgeComm function failed";
    case EComPort::kAsyncCheckFailed:
      return "Unable to get async status";
    case EComPort::kSetStateFailed:
      return "SetCommState function failed";
    case EComPort::kTimeoutsFailed:
      return "SetCommTimeouts failed";
    case EComPort::kSetupComFailed:
      return "SetupComm function failed";
    case EComPort::kClearComFailed:
      return "ClearCommError function failed";
    case EComPort::kEnumPortsFailed:
      return "EnumPorts function failed";
    case EComPort::kStoreFailed:
      return "Failed to store settings";
    case EComPort::kLoadFailed:
      return "Failed to load settings";
    default:
      return "";
  }
}

std::string ErrorMessage(int code, int winCode) {
  std::string text = ComErrorText(code);
  if (winCode != -1) text += " (win error code: " + std::to_string(winCode) + ")";
  return text;
}

}  // namespace

EComPort::EComPort(int code, int winCode, std::string holder)
    : std::runtime_error(ErrorMessage(code, winCode)),
      code_(code),
      winCode_(winCode),
      holder_(std::move(holder)) {}

}  // namespace lumaq
