// The serial port's failure, EComPort, with the number that says what failed.
#pragma once

#include <stdexcept>
#include <string>

namespace lumaq {

// A failure of the serial port. Its message says in the user's words what
// failed; when a system call failed, the system's name of its error number
// follows in brackets: "无法从串口读取数据（EIO）".
class EComPort : public std::runtime_error {
 public:
  enum : int {
    kOpenFailed = 1,
    kWriteFailed = 2,
    kReadFailed = 3,
    kInvalidAsync = 4,
    kPurgeFailed = 5,
    kAsyncCheckFailed = 6,
    kSetStateFailed = 7,
    kTimeoutsFailed = 8,
    kSetupComFailed = 9,
    kClearComFailed = 10,
    kEnumPortsFailed = 15,
    kStoreFailed = 16,
    kLoadFailed = 17,
  };

  explicit EComPort(int code, int winCode = -1, std::string holder = {});
  int Code() const { return code_; }
  // The system's error number, -1 when no system call failed.
  int WinCode() const { return winCode_; }
  // kOpenFailed: the program that holds the device, when it is known
  // ("ModemManager（PID 812）"); not part of the message.
  const std::string& Holder() const { return holder_; }

 private:
  int code_;
  int winCode_;
  std::string holder_;
};

}  // namespace lumaq
