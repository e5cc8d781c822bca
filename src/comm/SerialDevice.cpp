#include "comm/SerialDevice.h"

#include <system_error>

namespace lumaq {

SerialError::SerialError(const std::string& operation, int code, bool hungUp)
    : std::runtime_error(operation + ": " + std::generic_category().message(code)),
      code_(code),
      hungUp_(hungUp) {}

}  // namespace lumaq
