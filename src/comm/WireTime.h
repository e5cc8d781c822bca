// How long bytes take on a serial line, and the moments its waits end at.
// Every wait on the line, the program's and the simulated instrument's, is
// kept against one deadline on the monotonic clock, never a sum of sleeps.
#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

namespace lumaq {

using SerialClock = std::chrono::steady_clock;
inline constexpr SerialClock::time_point kNoDeadline = SerialClock::time_point::max();

// A byte on the line is a start bit, eight data bits and a stop bit.
inline constexpr long long kBitsPerByte = 10;

// How long bytes take on the wire at baud bits a second.
constexpr std::chrono::microseconds WireTime(long long bytes, int baud) {
  return std::chrono::microseconds(kBitsPerByte * 1'000'000 * bytes / std::max(baud, 1));
}

// The moment a wait ends, or none: then it ends on its event alone.
class Deadline {
 public:
  using Clock = SerialClock;

  // None.
  constexpr Deadline() = default;
  constexpr explicit Deadline(Clock::time_point when) : when_(when) {}
  static constexpr Deadline Never() { return Deadline(); }
  // limit after from; none without a limit.
  static Deadline In(std::optional<Clock::duration> limit, Clock::time_point from = Clock::now()) {
    return limit ? Deadline(from + *limit) : Deadline();
  }

  // kNoDeadline when there is none.
  constexpr Clock::time_point When() const { return when_; }
  constexpr bool IsNever() const { return when_ == kNoDeadline; }
  bool Passed(Clock::time_point now = Clock::now()) const { return now >= when_; }
  // The time left, zero once it has passed; none without a deadline.
  std::optional<Clock::duration> Left(Clock::time_point now = Clock::now()) const {
    if (IsNever()) return std::nullopt;
    return std::max(Clock::duration::zero(), when_ - now);
  }
  // The same in whole milliseconds, rounded up, so that a wait of that long
  // never ends before the deadline.
  std::optional<std::chrono::milliseconds> LeftMilliseconds(
      Clock::time_point now = Clock::now()) const {
    const auto left = Left(now);
    if (!left) return std::nullopt;
    return std::chrono::ceil<std::chrono::milliseconds>(*left);
  }
  constexpr Deadline Earlier(Deadline other) const { return when_ <= other.when_ ? *this : other; }

  friend constexpr bool operator==(Deadline, Deadline) = default;

 private:
  Clock::time_point when_ = kNoDeadline;
};

}  // namespace lumaq
