// EComPort: the number of each failure and its message.
#include "comm/ComError.h"

#include <gtest/gtest.h>

#include <string>

namespace lumaq {
namespace {

TEST(EComPort, EachNumberHasItsMessage) {
  struct Case {
    int code;
    int number;  // as callers and the messages' readers know it
    const char* message;
  };
  const Case cases[] = {
      {EComPort::kOpenFailed, 1, "Unable to open com port"},
      {EComPort::kWriteFailed, 2, "WriteFile function failed"},
      {EComPort::kReadFailed, 3, "ReadFile function failed"},
      {EComPort::kInvalidAsync, 4, "Invalid Async parameter"},
      {EComPort::kPurgeFailed, 5, "PurgeComm function failed"},
      {EComPort::kAsyncCheckFailed, 6, "Unable to get async status"},
      {EComPort::kSetStateFailed, 7, "SetCommState function failed"},
      {EComPort::kTimeoutsFailed, 8, "SetCommTimeouts failed"},
      {EComPort::kSetupComFailed, 9, "SetupComm function failed"},
      {EComPort::kClearComFailed, 10, "ClearCommError function failed"},
      {EComPort::kEnumPortsFailed, 15, "EnumPorts function failed"},
      {EComPort::kStoreFailed, 16, "Failed to store settings"},
      {EComPort::kLoadFailed, 17, "Failed to load settings"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const EComPort error(c.code);
    EXPECT_EQ(error.Code(), c.number);
    EXPECT_EQ(std::string(error.what()), c.message);
    EXPECT_EQ(error.WinCode(), -1);
  }
}

TEST(EComPort, SystemErrorNumberFollowsTheMessage) {
  const EComPort error(EComPort::kOpenFailed, 16);
  EXPECT_EQ(std::string(error.what()), "Unable to open com port (win error code: 16)");
  EXPECT_EQ(error.WinCode(), 16);
  EXPECT_EQ(std::string(EComPort(99).what()), "") << "an unknown number has no text";
}

}  // namespace
}  // namespace lumaq
