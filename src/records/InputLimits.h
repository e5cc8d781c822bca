// How much outside input the program takes in: a file read whole may hold at
// most kMaxFileBytes, a line of a text file at most kMaxLineBytes. More is
// refused with OversizedInput before it fills the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumaq {

inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

// An input the program refuses for its size; the message names it.
class OversizedInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// where: the input as the message names it, for example "\"JOB.BDT\"".
std::string OversizedFileMessage(const std::string& where);
std::string OverlongLineMessage(const std::string& where, std::size_t lineNumber);

}  // namespace lumaq
