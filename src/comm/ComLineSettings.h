// How the port's settings become the settings of its serial line.
#pragma once

#include "comm/SerialDevice.h"

namespace lumaq {

class TCustomComPort;

// The line the port's settings describe: the nominal rate of BaudRate (or
// CustomBaudRate for brCustom), framing, parity checking with replacement
// only when both Check and Replace are set, flow control as its members say,
// XON and XOFF limits of a quarter of the input size, and the event character.
SerialLineSettings LineSettingsOf(const TCustomComPort& port);

// The port's rate in bits a second: BaudRate's nominal one, or CustomBaudRate
// for brCustom.
int LineBaudRate(const TCustomComPort& port);

}  // namespace lumaq
