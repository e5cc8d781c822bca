#include "comm/SerialDevice.h"

#include <system_error>
#include <utility>

namespace lumaq {

SerialError::SerialError(const std::string& operation, int code, bool hungUp, std::string holder)
    : std::runtime_error(operation + ": " + std::generic_category().message(code) +
                         (holder.empty() ? "" : " (" + holder + ")")),
      code_(code),
      hungUp_(hungUp),
      holder_(std::move(holder)) {}

}  // namespace lumaq
