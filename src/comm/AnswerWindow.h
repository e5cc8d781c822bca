// Which bytes a purge of the input may keep right after the program's own
// write. The protocol purges the input at many points; all of them drop
// everything queued, save the purge that directly follows the program's 0xBB
// (receive: frame wanted) or 0xAA (send: request wanted). On a serial line
// the answer to that write cannot be there yet, so that purge drops only
// stale bytes; a pseudo-terminal (the simulated instrument) delivers the
// answer at once, and it must not be lost. So the purge keeps what arrived
// after the write while the write and one byte of answer could not yet have
// crossed the wire, counted from the moment the write was handed to the
// system, and at most one answer's bytes: more are a flood, not an answer.
#pragma once

#include <optional>

#include "comm/WireTime.h"

namespace lumaq {

class AnswerWindow {
 public:
  // Closed: a purge drops all.
  AnswerWindow() = default;
  // A write of written bytes at baud handed to the system at handedOver, while
  // waiting bytes were in the input (none: not known).
  static AnswerWindow AfterWrite(std::optional<int> waiting, int written, int baud,
                                 SerialClock::time_point handedOver);

  // Of waitingNow bytes, the stale ones that came in before the write, which
  // the purge at now drops while the rest stays as the answer to the write;
  // none when the purge must drop everything.
  std::optional<int> StaleBytes(int waitingNow, int longestAnswer,
                                SerialClock::time_point now) const;

 private:
  std::optional<int> waitingBefore_;
  Deadline closes_;
};

}  // namespace lumaq
