#include "comm/LineWatch.h"

namespace lumaq {

LineWatch::LineWatch(SerialDevice& device, ComInputQueue& queue, TComEvents events)
    : device_(device),
      queue_(queue),
      watchBytes_(events.Contains(evRxChar)),
      watchErrors_(events.Contains(evError)) {}

LineWatch::Outcome LineWatch::WaitOnce(SerialClock::time_point deadline, bool interruptible,
                                       const std::atomic<bool>& stop) {
  unsigned what = interruptible ? kWaitInterrupt : 0u;
  if (!lineGone_) {
    what |= kWaitLine;
    // A full queue is left alone until the program reads from it.
    if (watchBytes_ && queue_.HasRoom()) what |= kWaitReadable;
  }
  SerialWaitResult result;
  try {
    result = device_.Wait(deadline, what);
  } catch (const SerialError&) {
    result = SerialWaitResult::kHungUp;
  }
  if (stop) return {true, std::nullopt};
  if (result == SerialWaitResult::kInterrupted || result == SerialWaitResult::kTimedOut) return {};
  return Take(result == SerialWaitResult::kReadable, result == SerialWaitResult::kHungUp, stop);
}

LineWatch::Outcome LineWatch::TakeReady() {
  if (lineGone_) return {};
  return Take(watchBytes_ && queue_.HasRoom(), false, kNeverStopped);
}

LineWatch::Outcome LineWatch::Take(bool readable, bool seenHungUp, const std::atomic<bool>& stop) {
  const ComInputQueue::Fill fill = queue_.FillFromDevice(readable, watchErrors_, stop);
  if (fill.stopped) return {true, std::nullopt};
  const bool hungUp = seenHungUp || fill.hungUp;
  if (hungUp) lineGone_ = true;
  const bool reportBytes = watchBytes_ && fill.moved;
  const bool reportErrors = watchErrors_ && (hungUp || fill.lineErrors != 0);
  if (!reportBytes && !reportErrors) return {};
  return {false, LineEvent{reportBytes, reportErrors ? fill.lineErrors : 0u, reportErrors && hungUp,
                           fill.deviceEmptied}};
}

}  // namespace lumaq
