// What the user is told when the serial port cannot be opened: the line that
// follows "无法打开串口！程序无法正常运行！" in the transfer dialog's warning
// and on lumaq-cli's standard error.
#pragma once

#include <string>

#include "comm/ComError.h"

namespace lumaq {

// Who may use a device, as far as the permission advice needs it.
struct DeviceAccess {
  std::string userName;      // the login name; empty when unknown
  std::string group;         // the device's group ("dialout", "uucp"); empty when unknown
  bool groupMayUse = true;   // the group may read and write the device
  bool userInGroup = false;  // the user belongs to the group, yet this login does not have it
};

// The access to the device at path of the user the program runs as
// (serial_posix_access.cpp).
DeviceAccess DeviceAccessOf(const std::string& path);

// device names the device for the user ("COM3 (/dev/ttyUSB0)"). The reason
// follows the device, with the system's name of the error (EBUSY), then what
// to do:
//   held (EBUSY, EAGAIN): close the program that holds it, named when known;
//   absent (ENOENT, ENODEV, ENXIO) or not answering (EIO): check the cable,
//     or choose another port in the settings;
//   no permission (EACCES, EPERM): join the device's group with the command
//     that does it, and log in again;
//   no serial port (ENOTTY, EISDIR): a file, /dev/null, a folder;
//   another system error: the system's reason;
//   settings refused (error 7 to 9): another rate or another port.
std::string DescribePortOpenFailure(const EComPort& error, const std::string& device,
                                    const DeviceAccess& access);

}  // namespace lumaq
