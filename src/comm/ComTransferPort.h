// The transfer's line on the program's serial port ComPort1.
#pragma once

#include <optional>
#include <string>

#include "comm/ComPort.h"
#include "comm/TransferPort.h"

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
  // Drops everything queued.
  void ClearBuffer(bool input, bool output) override;
  void WriteForAnswer(std::uint8_t byte, int longestAnswer) override;
  int InputCount() override { return port_.InputCount(); }

 private:
  TCustomComPort& port_;
  // The last call purged the whole input.
  bool inputEmptied_ = false;
};

// Which device failed and why, for the user: "COM3 (/dev/ttyUSB0)" or the
// device path alone, then the reason and what to do, as
// DescribePortOpenFailure words it for the user the program runs as.
std::string PortOpenFailureDetail(const TCustomComPort& port, const EComPort& error);

}  // namespace lumaq
