#include "comm/ComTransferPort.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "comm/ComLineSettings.h"
#include "comm/FrameHeaders.h"
#include "comm/PortOpenFailure.h"

namespace lumaq {
namespace {

// The longest answer to one write of the program: a frame's body and its
// checksum.
constexpr int kLongestAnswer = static_cast<int>(kLongestFrameBody) + 1;

}  // namespace

void ComTransferPort::Open() {
  try {
    port_.Open();
  } catch (const EComPort& error) {
    throw PortOpenError(PortOpenFailureDetail(port_, error));
  }
}

int ComTransferPort::Read(void* buffer, int count) {
  waitingBeforeWrite_.reset();
  inputEmptied_ = false;
  return port_.Read(buffer, count);
}

int ComTransferPort::Write(const void* buffer, int count) {
  waitingBeforeWrite_.reset();
  std::optional<int> waiting;
  if (std::exchange(inputEmptied_, false)) {
    waiting = 0;  // a purge has just emptied it: no need to ask the system
  } else if (port_.Connected()) {
    try {
      waiting = port_.InputCount();
    } catch (const EComPort&) {
      // The write reports a line that went away; a purge after it drops all.
    }
  }
  const int written = port_.Write(buffer, count);
  waitingBeforeWrite_ = waiting;
  answerPossible_ = Deadline::In(WireTime(written + 1, LineBaudRate(port_)));
  return written;
}

bool ComTransferPort::MoreThanAnAnswerAfter(int stale) {
  try {
    return port_.InputCount() - stale > kLongestAnswer;
  } catch (const EComPort&) {
    return true;  // the line is gone: the purge says so
  }
}

void ComTransferPort::ClearBuffer(bool input, bool output) {
  const std::optional<int> stale = std::exchange(waitingBeforeWrite_, std::nullopt);
  if (!input || !stale || answerPossible_.Passed() || MoreThanAnAnswerAfter(*stale)) {
    port_.ClearBuffer(input, output);
    inputEmptied_ = input;
    return;
  }
  inputEmptied_ = false;
  if (output) port_.ClearBuffer(false, true);
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
