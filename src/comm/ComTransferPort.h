// The transfer's line on the program's serial port ComPort1.
#pragma once

#include <optional>
#include <string>

#include "comm/ComPort.h"
#include "comm/TransferPort.h"
#include "comm/WireTime.h"

namespace lumaq {

class ComTransferPort final : public TransferPort {
 public:
  // port must outlive the adapter; it is opened by Open and closed by its
  // owner once the transfer dialog has closed.
  explicit ComTransferPort(TCustomComPort& port) : port_(port) {}

  // Raises PortOpenError with PortOpenFailureDetail when the port cannot be
  // opened or configured.
  void Open() override;
  bool Connected() const override { return port_.Connected(); }
  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  // A purge of the input right after a write (sooner than the written bytes
  // and one byte of answer take on the wire at the line's rate, with no read
  // in between) drops only what had come in before the write. On a serial
  // line nothing else can be there yet; a pseudo-terminal (the simulated
  // instrument) delivers the answer at once, and it must not be lost. More
  // bytes after the write than any answer is long are no answer but a flood,
  // which may have filled the port's queue: then all goes, so that the port
  // takes in and reports the bytes that follow.
  void ClearBuffer(bool input, bool output) override;
  int InputCount() override { return port_.InputCount(); }

 private:
  // Whether more bytes are waiting than stale ones and the longest answer.
  bool MoreThanAnAnswerAfter(int stale);

  TCustomComPort& port_;
  // Bytes waiting when the last write began, while no read or purge has
  // followed it, and when an answer to it could first be there.
  std::optional<int> waitingBeforeWrite_;
  Deadline answerPossible_;
  // The last call purged the whole input.
  bool inputEmptied_ = false;
};

// Which device failed and why, for the user: "COM3 (/dev/ttyUSB0)" or the
// device path alone, then the reason and what to do, as
// DescribePortOpenFailure words it for the user the program runs as.
std::string PortOpenFailureDetail(const TCustomComPort& port, const EComPort& error);

}  // namespace lumaq
