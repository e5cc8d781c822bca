// EComPort: the number of each failure and what the user reads of it.
#include "comm/ComError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "comm/SystemErrorName.h"

namespace lumaq {
namespace {

TEST(EComPort, EachNumberHasItsMessage) {
  struct Case {
    int code;
    int number;  // as callers and the messages' readers know it
    const char* message;
  };
  const Case cases[] = {
      {EComPort::kOpenFailed, 1, "无法打开串口"},
      {EComPort::kWriteFailed, 2, "无法向串口写入数据"},
      {EComPort::kReadFailed, 3, "无法从串口读取数据"},
      {EComPort::kInvalidAsync, 4, "串口读写参数无效"},
      {EComPort::kPurgeFailed, 5, "无法清除串口缓冲区"},
      {EComPort::kAsyncCheckFailed, 6, "无法取得串口的读写状态"},
      {EComPort::kSetStateFailed, 7, "无法设置串口通讯参数"},
      {EComPort::kTimeoutsFailed, 8, "无法设置串口超时"},
      {EComPort::kSetupComFailed, 9, "无法设置串口缓冲区"},
      {EComPort::kClearComFailed, 10, "无法查询串口状态"},
      {EComPort::kEnumPortsFailed, 15, "无法列出串口"},
      {EComPort::kStoreFailed, 16, "无法保存通讯设置"},
      {EComPort::kLoadFailed, 17, "无法读取通讯设置"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const EComPort error(c.code);
    EXPECT_EQ(error.Code(), c.number);
    EXPECT_EQ(std::string(error.what()), c.message);
    EXPECT_EQ(error.WinCode(), -1);
  }
}

TEST(EComPort, TheSystemsNameOfItsErrorFollowsTheMessage) {
  // The EIO of a line that hung up, which another system's number 5 would
  // call "access denied".
  const EComPort error(EComPort::kReadFailed, EIO);
  EXPECT_EQ(std::string(error.what()), "无法从串口读取数据（EIO）");
  EXPECT_EQ(error.WinCode(), EIO);
  EXPECT_EQ(std::string(EComPort(99).what()), "") << "an unknown number has no text";
}

TEST(SystemErrorName, NamesAsTheSystemDoes) {
  const std::pair<int, const char*> cases[] = {
      {EIO, "EIO"},       {EBUSY, "EBUSY"},   {EACCES, "EACCES"}, {EWOULDBLOCK, "EAGAIN"},
      {ENOTTY, "ENOTTY"}, {ENOENT, "ENOENT"}, {-7, "errno -7"},   {4095, "errno 4095"},
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(SystemErrorName(code), name) << code;
}

}  // namespace
}  // namespace lumaq
