// Which bytes a purge of the input may keep right after the program's own
// write. The protocol purges the input at many points; all of them drop
// everything queued, save the purge that directly follows the program's 0xBB
// (receive: frame wanted) or 0xAA (send: request wanted). That purge drops the
// stale bytes, counted in the input when the write was handed to the system,
// and keeps what came in after them: a pseudo-terminal (the simulated
// instrument) delivers the answer at once, and it must not be lost however
// late the program gets to its purge on a loaded machine. At most one
// answer's bytes are kept: more are a flood, not an answer, and all go.
#pragma once

#include <optional>

namespace lumaq {

class AnswerWindow {
 public:
  // Closed: a purge drops all.
  AnswerWindow() = default;
  // A write handed to the system while waiting bytes were in the input (none:
  // not known).
  static AnswerWindow AfterWrite(std::optional<int> waiting);

  // Of waitingNow bytes, the stale ones that came in before the write, which
  // the purge drops while the rest stays as the answer to the write; none
  // when the purge must drop everything.
  std::optional<int> StaleBytes(int waitingNow, int longestAnswer) const;

 private:
  std::optional<int> waitingBefore_;
};

}  // namespace lumaq
