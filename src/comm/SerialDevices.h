// Which devices of the device database are serial ports, and what tells a
// person which is which: the adapter's maker, product and serial number, the
// driver. Terminals without hardware behind them (the consoles, the
// pseudo-terminals) are no ports, nor is a UART port where no UART answers;
// a Bluetooth serial link is one, though the system keeps it virtual.
#pragma once

#include <string>
#include <vector>

#include "comm/DeviceDatabase.h"

namespace lumaq {

struct SerialDeviceInfo {
  std::string node;                // "/dev/ttyUSB0"
  std::vector<std::string> links;  // other names of the device file
  // The name that finds the same adapter again after it is plugged in
  // elsewhere: its /dev/serial/by-id link where it has one, else node.
  std::string stableName;
  // "QinHeng Electronics CH340 serial converter，驱动 ch341"
  std::string description;

  friend bool operator==(const SerialDeviceInfo&, const SerialDeviceInfo&) = default;
};

// The serial ports among devices, in the order of their names (ttyS2 before
// ttyS10).
std::vector<SerialDeviceInfo> SerialDevicesIn(const std::vector<TtyDevice>& devices);

}  // namespace lumaq
