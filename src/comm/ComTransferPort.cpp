#include "comm/ComTransferPort.h"

#include "comm/PortOpenFailure.h"

namespace lumaq {

void ComTransferPort::Open() {
  try {
    port_.Open();
  } catch (const EComPort& error) {
    throw PortOpenError(PortOpenFailureDetail(port_, error));
  }
}

std::string PortOpenFailureDetail(const TCustomComPort& port, const EComPort& error) {
  const std::string device = port.ResolvedDevicePath();
  return DescribePortOpenFailure(
      error, port.DevicePath().empty() ? port.Port() + " (" + device + ")" : "\"" + device + "\"",
      CurrentUserName());
}

}  // namespace lumaq
