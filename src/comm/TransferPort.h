// The serial line as the transfer with the instrument uses it. ComTransferPort
// adapts the program's TComPort; tests script it. Every call comes from the
// thread that runs the transfer.
#pragma once

#include <cstdint>

#include <stdexcept>
#include <string>

namespace lumaq {

// The line could not be opened or could not be given its settings. The
// message says which device and why, in the words shown to the user after
// "无法打开串口！程序无法正常运行！".
class PortOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TransferPort {
 public:
  virtual ~TransferPort() = default;

  // Opens the line with its settings; raises PortOpenError.
  virtual void Open() = 0;
  virtual bool Connected() const = 0;
  // Reads count bytes under the line's read time-outs (for the program: it
  // ends when count bytes came, 200 ms after a byte when no further one
  // follows, or 100 * count + 20000 ms after the call). Returns the bytes
  // read; fewer than count is a time-out, not an error.
  virtual int Read(void* buffer, int count) = 0;
  // Writes count bytes; returns how many went out.
  virtual int Write(const void* buffer, int count) = 0;
  // Discards what was received (input) and what is still to be sent (output):
  // everything queued.
  virtual void ClearBuffer(bool input, bool output) = 0;
  // The program's own 0xBB or 0xAA, and the purge of the input right after
  // it: discards what was received before the write; an answer to it of at
  // most longestAnswer bytes that is already there stays (AnswerWindow).
  virtual void WriteForAnswer(std::uint8_t byte, int longestAnswer) = 0;
  // Bytes received and not yet read.
  virtual int InputCount() = 0;
};

}  // namespace lumaq
