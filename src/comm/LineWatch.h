// One wait for the events of an open line: arriving bytes (moved into the
// port's input queue), line errors and the line going away. The event thread
// watches with it, and so does an owner that waits on the line itself
// (TCustomComPort::SetOwnerWatches).
#pragma once

#include <atomic>
#include <optional>

#include "comm/ComInputQueue.h"
#include "comm/ComSettings.h"
#include "comm/SerialDevice.h"
#include "comm/WireTime.h"

namespace lumaq {

// What one wait brings to report: bytes came into the queue (rxChar), the
// line errors taken (SerialLineError bits), the line gone.
struct LineEvent {
  bool rxChar = false;
  unsigned lineErrors = 0;
  bool lineGone = false;
  // The device held no more bytes a moment ago: what is queued is the count
  // to report when the event is handled at once.
  bool allQueued = false;
};

// The stop flag of a watch that nothing stops (the owner's own loop).
inline const std::atomic<bool> kNeverStopped{false};

class LineWatch {
 public:
  // device and queue must outlive the watch.
  LineWatch(SerialDevice& device, ComInputQueue& queue, TComEvents events);

  struct Outcome {
    bool stopped = false;  // stop was set meanwhile: report nothing more
    std::optional<LineEvent> event;
  };
  // Waits until something watched happens or deadline passes (interruptible:
  // also the device's Interrupt, which ends the wait with nothing). While the
  // queue is full it does not watch for bytes, and once the line is gone it
  // waits for nothing but the deadline or the interrupt.
  Outcome WaitOnce(SerialClock::time_point deadline, bool interruptible,
                   const std::atomic<bool>& stop);
  // What a wait reports once the line was seen ready by the owner's own loop
  // (a read, or a hang-up, waits): taken without waiting again.
  Outcome TakeReady();
  // A wait has seen the line go: nothing more will come.
  bool LineGone() const { return lineGone_; }

 private:
  Outcome Take(bool readable, bool seenHungUp, const std::atomic<bool>& stop);

  SerialDevice& device_;
  ComInputQueue& queue_;
  const bool watchBytes_;
  const bool watchErrors_;
  bool lineGone_ = false;
};

}  // namespace lumaq
