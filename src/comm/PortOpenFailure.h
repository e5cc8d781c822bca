// What the user is told when the serial port cannot be opened: the line that
// follows "无法打开串口！程序无法正常运行！" in the transfer dialog's warning
// and on lumaq-cli's standard error.
#pragma once

#include <string>

#include "comm/ComError.h"

namespace lumaq {

// device names the device for the user ("COM3 (/dev/ttyUSB0)"); userName is
// the login name the permission advice names (empty: "$USER"). The reason
// follows the device:
//   no permission (EACCES, EPERM): the user lacks access to the device, and
//     "sudo usermod -aG dialout USER" then logging in again gives it;
//   no such device (ENOENT): the device does not exist;
//   held (EBUSY, EWOULDBLOCK): another program uses it, named when known;
//   another system error: the system's reason;
//   settings refused (error 7 to 9): the port cannot take its settings.
// The serial layer's own message follows in brackets.
std::string DescribePortOpenFailure(const EComPort& error, const std::string& device,
                                    const std::string& userName);

}  // namespace lumaq
