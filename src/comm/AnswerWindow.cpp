#include "comm/AnswerWindow.h"

#include <algorithm>

namespace lumaq {

AnswerWindow AnswerWindow::AfterWrite(std::optional<int> waiting) {
  AnswerWindow window;
  window.waitingBefore_ = waiting;
  return window;
}

std::optional<int> AnswerWindow::StaleBytes(int waitingNow, int longestAnswer) const {
  if (!waitingBefore_) return std::nullopt;
  if (waitingNow - *waitingBefore_ > longestAnswer) return std::nullopt;
  // Bytes read meanwhile by another hand cannot be dropped twice.
  return std::min(*waitingBefore_, waitingNow);
}

}  // namespace lumaq
