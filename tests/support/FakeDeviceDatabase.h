// A device database of the test's own: the terminal devices it lists, as
// udev would describe them, and nothing else. Tests change the list to plug
// devices in or pull them out.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "comm/DeviceDatabase.h"

namespace lumaq::test {

class FakeDeviceDatabase : public DeviceDatabase {
 public:
  std::vector<TtyDevice> TtyDevices() const override { return devices; }
  std::vector<TtyDevice> devices;
};

// A USB serial adapter at /dev/NAME, with udev's properties and links.
inline TtyDevice UsbSerial(const std::string& name, std::map<std::string, std::string> properties,
                           std::vector<std::string> links = {}) {
  return {name, "/dev/" + name, std::move(links), true, "", "usb-serial", std::move(properties)};
}

// A CH340 adapter as udev names it, with the hardware database's names.
inline TtyDevice Ch340(const std::string& name, std::vector<std::string> links = {}) {
  return UsbSerial(name,
                   {{"ID_VENDOR_FROM_DATABASE", "QinHeng Electronics"},
                    {"ID_MODEL_FROM_DATABASE", "CH340 serial converter"},
                    {"ID_VENDOR", "1a86"},
                    {"ID_MODEL", "USB_Serial"},
                    {"ID_USB_DRIVER", "ch341"}},
                   std::move(links));
}

// A UART port of the serial driver; uartType "0" where no UART answers.
inline TtyDevice Uart(const std::string& name, const std::string& uartType) {
  return {name, "/dev/" + name, {}, true, uartType, "serial8250", {}};
}

// A terminal without hardware (a console).
inline TtyDevice VirtualTerminal(const std::string& name) {
  return {name, "/dev/" + name, {}, false, "", "", {}};
}

}  // namespace lumaq::test
