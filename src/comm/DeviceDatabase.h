// The system's database of devices, as far as the port list needs it: every
// terminal device the system knows, with what it says about the hardware
// behind it. ports_udev.cpp reads udev's; tests give a table of their own.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lumaq {

// One device of the terminal ("tty") subsystem.
struct TtyDevice {
  std::string name;                // the kernel's name: "ttyUSB0"
  std::string node;                // its device file: "/dev/ttyUSB0"; empty when it has none
  std::vector<std::string> links;  // other names of the file: "/dev/serial/by-id/usb-..."
  // Hardware behind it (a UART, a USB adapter); a virtual terminal has none.
  bool hasHardware = false;
  // The kind of UART a serial driver found at the port ("type"); "0" when
  // none answers there. Empty for other devices.
  std::string uartType;
  std::string driver;  // the driver of the nearest device above it that has one
  // The database's properties of the device: ID_VENDOR_FROM_DATABASE,
  // ID_MODEL_ENC, ID_SERIAL_SHORT, ID_USB_DRIVER, ...
  std::map<std::string, std::string> properties;

  friend bool operator==(const TtyDevice&, const TtyDevice&) = default;
};

class DeviceDatabase {
 public:
  virtual ~DeviceDatabase() = default;
  // The terminal devices there are now. Raises EComPort 15 (kEnumPortsFailed)
  // when the database cannot be read.
  virtual std::vector<TtyDevice> TtyDevices() const = 0;
};

// The database of this system.
std::unique_ptr<DeviceDatabase> CreateDeviceDatabase();

}  // namespace lumaq
