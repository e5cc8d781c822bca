#include "comm/AnswerWindow.h"

#include <algorithm>

namespace lumaq {

AnswerWindow AnswerWindow::AfterWrite(std::optional<int> waiting, int written, int baud,
                                      SerialClock::time_point handedOver) {
  AnswerWindow window;
  window.waitingBefore_ = waiting;
  window.closes_ = Deadline::In(WireTime(written + 1, baud), handedOver);
  return window;
}

std::optional<int> AnswerWindow::StaleBytes(int waitingNow, int longestAnswer,
                                            SerialClock::time_point now) const {
  if (!waitingBefore_ || closes_.Passed(now)) return std::nullopt;
  if (waitingNow - *waitingBefore_ > longestAnswer) return std::nullopt;
  // Bytes read meanwhile by another hand cannot be dropped twice.
  return std::min(*waitingBefore_, waitingNow);
}

}  // namespace lumaq
