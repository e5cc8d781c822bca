// The serial port's event thread. It waits (poll) for arriving bytes, the line
// going away and its stop signal, fills the port's input queue from the
// device and hands each dispatch to the owner's thread, blocking until the
// handlers have run. While the queue is full it does not watch for bytes, and
// once the line is gone it waits for nothing but its stop signal.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "comm/ComInputQueue.h"
#include "comm/ComSettings.h"
#include "comm/Dispatcher.h"
#include "comm/SerialDevice.h"

namespace lumaq {

class TComThread {
 public:
  // One dispatch on the owner's thread: bytes arrived (rxChar), the line
  // errors taken (SerialLineError bits), the line gone.
  using DispatchHandler = std::function<void(bool rxChar, unsigned lineErrors, bool lineGone)>;

  // Starts the thread on an open device, watching events; syncMethod smNone
  // runs dispatch on this thread, any other hands it to dispatcher. Device,
  // queue and dispatcher must outlive the thread.
  TComThread(SerialDevice& device, ComInputQueue& queue, Dispatcher& dispatcher, TComEvents events,
             TSyncMethod syncMethod, DispatchHandler dispatch);
  // Stops and joins.
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  // Any thread, returns at once: the thread ends at its next step, and a
  // dispatch it has handed over and that has not started is cancelled.
  void RequestStop();
  // Waits until the thread has ended. Not from inside a handler it runs.
  void Join();

 private:
  void Execute();
  // False when the thread was stopped meanwhile.
  bool Dispatch(bool rxChar, unsigned lineErrors, bool lineGone);

  SerialDevice& device_;
  ComInputQueue& queue_;
  Dispatcher& dispatcher_;
  const TComEvents events_;
  const TSyncMethod syncMethod_;
  const DispatchHandler dispatch_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::shared_ptr<PendingCall> handedOver_;
  std::thread thread_;
};

}  // namespace lumaq
