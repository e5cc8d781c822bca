// The termios side of the serial line on POSIX: raw mode, framing, flow
// control, speed and modem lines. Part of the POSIX serial backend with
// serial_posix.cpp; CMake builds both on POSIX systems only.
#pragma once

#include <cerrno>

#include "comm/SerialDevice.h"

namespace lumaq::posix {

// A failed system call of the line; EIO is a line that has gone away.
[[noreturn]] inline void Fail(const char* operation, int code = errno) {
  throw SerialError(operation, code, code == EIO);
}

// Configures the open line fd as settings say, in raw mode with VMIN = VTIME =
// 0 so that no read ever blocks. Raises SerialError, with EINVAL for a
// combination the system cannot carry out.
void ConfigureLine(int fd, const SerialLineSettings& settings);

}  // namespace lumaq::posix
