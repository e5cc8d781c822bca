#include "comm/ComTransferPort.h"

#include "comm/AnswerWindow.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "comm/PortOpenFailure.h"

namespace lumaq {
void ComTransferPort::Open() {
  try {
    port_.Open();
  } catch (const EComPort& error) {
    throw PortOpenError(PortOpenFailureDetail(port_, error));
  }
}

int ComTransferPort::Read(void* buffer, int count) {
  inputEmptied_ = false;
  return port_.Read(buffer, count);
}

int ComTransferPort::Write(const void* buffer, int count) {
  inputEmptied_ = false;
  return port_.Write(buffer, count);
}

void ComTransferPort::ClearBuffer(bool input, bool output) {
  port_.ClearBuffer(input, output);
  inputEmptied_ = input;
}

void ComTransferPort::WriteForAnswer(std::uint8_t byte, int longestAnswer) {
  std::optional<int> waiting;
  if (inputEmptied_) {
    waiting = 0;  // a purge has just emptied it: no need to ask the system
  } else if (port_.Connected()) {
    try {
      waiting = port_.InputCount();
    } catch (const EComPort&) {
      // The write reports a line that went away; the purge after it drops all.
    }
  }
  Write(&byte, 1);
  const AnswerWindow window = AnswerWindow::AfterWrite(waiting);
  std::optional<int> stale;
  try {
    stale = window.StaleBytes(port_.InputCount(), longestAnswer);
  } catch (const EComPort&) {
    // The line is gone: the purge says so.
  }
  if (!stale) {
    ClearBuffer(true, false);
    return;
  }
  inputEmptied_ = false;
  if (*stale > 0) {
    // They are there already: the read returns at once.
    std::vector<char> dropped(static_cast<std::size_t>(*stale));
    port_.Read(dropped.data(), *stale);
  }
}

std::string PortOpenFailureDetail(const TCustomComPort& port, const EComPort& error) {
  const std::string device = port.ResolvedDevicePath();
  return DescribePortOpenFailure(
      error, port.DevicePath().empty() ? port.Port() + " (" + device + ")" : "\"" + device + "\"",
      DeviceAccessOf(device));
}

}  // namespace lumaq
