// The ports the communication settings offer and lumaq-cli ports prints:
// every serial device present under its COM name, and the [PortMap] entries
// whose device is not there.
//
// A device's COM name comes from [PortMap] when an entry leads there (by its
// device file or another name of it), else from the fixed rule
// (PortNames.h) when [PortMap] does not lead that name elsewhere. A device
// neither places gets the lowest COM name that nothing else has; it is its
// name only once stored, as a [PortMap] entry with the device's stable name,
// which finds the same adapter after a replug. A [PortMap] entry that leads
// to a file the database does not know (a pseudo-terminal) is a port while
// the file is there.
#pragma once

#include <string>
#include <vector>

#include "comm/PortNames.h"
#include "comm/SerialDevices.h"

namespace lumaq {

struct PortEntry {
  std::string comName;      // "COM5"; empty when no COM name is left for the device
  std::string device;       // the device file; for an absent port, where [PortMap] leads
  std::string description;  // what the device is; empty when nothing is known of it
  bool present = true;
  // Not empty when the COM name is the device's only once [PortMap] holds
  // "comName=mapTo" (the device's stable name).
  std::string mapTo;

  friend bool operator==(const PortEntry&, const PortEntry&) = default;
};

struct PortList {
  std::vector<PortEntry> present;  // in COM order, devices without a COM name last
  std::vector<PortEntry> absent;   // [PortMap] entries without their device, in COM order
};

// The ports of the devices present and the entries of map. storedPort, the
// port the settings hold (if any), is among the absent ones when its device
// is not there, and its name is given to no other device.
PortList ListPorts(const std::vector<SerialDeviceInfo>& devices, const ComPortMap& map,
                   const std::string& storedPort = {});

// Whether a comes before b in COM order; a device without a COM name last.
bool InComOrder(const PortEntry& a, const PortEntry& b);

// The port for a person: "COM5  QinHeng CH340 serial converter (/dev/ttyUSB0)",
// "COM7  未连接 (/dev/serial/by-id/...)".
std::string PortItemText(const PortEntry& entry);

}  // namespace lumaq
