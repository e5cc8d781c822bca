// A pseudo-terminal pair made by this process, for playing the far side of a
// serial line in software: our own end as a SerialDevice, and the path of the
// other end, which another program opens as its serial port. The serial
// backend of the system creates it.
#pragma once

#include <memory>
#include <string>

#include "comm/SerialDevice.h"

namespace lumaq {

struct PseudoTerminalLine {
  std::unique_ptr<SerialDevice> device;  // open on our end
  std::string farPath;                   // the device path of the other end
};

// Creates the pair in raw mode (nothing echoed or translated). Nothing holds
// the far end open afterwards, since a program opens its port for itself
// alone: until one opens it, and again once it has closed it, our end waits
// report kHungUp. Raises SerialError.
PseudoTerminalLine CreatePseudoTerminalLine();

}  // namespace lumaq
