// What the transfer dialog says of the line beside the protocol's texts: the
// port, device and rate in use, and the hint after a long silence. UTF-8.
#pragma once

#include <string>

#include "records/TransferDirection.h"

namespace lumaq {

// "COM3 /dev/ttyUSB0 9600 波特".
std::string LineInUseText(const std::string& port, const std::string& device, int baud);
// What to check when the instrument has said nothing for a while: for a
// receive that it sends, for a send that it receives, at baud.
std::string SilenceHintText(TransferDirection direction, int baud);

}  // namespace lumaq
