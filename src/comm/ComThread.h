// The serial port's event thread. It waits (poll) for arriving bytes, the line
// going away and its stop signal, moves arrived bytes into the port's input
// queue and hands each dispatch to the owner's thread, blocking until the
// handlers have run. While bytes sit in the queue it waits for new ones only,
// and once the line is gone it waits for nothing but its stop signal.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "comm/ComSettings.h"
#include "comm/Dispatcher.h"

namespace lumaq {

class TCustomComPort;

class TComThread {
 public:
  // Starts the thread on an open port; events and sync method are taken now.
  explicit TComThread(TCustomComPort& owner);
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
  // Moves what the device holds into the port's queue; moved is set when any
  // byte came. Raises SerialError when the line is gone.
  void MoveToQueue(bool& moved);
  // False when the thread was stopped meanwhile.
  bool Dispatch(bool rxChar, unsigned lineErrors, bool lineGone);

  TCustomComPort& owner_;
  const TComEvents events_;
  const TSyncMethod syncMethod_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::shared_ptr<PendingCall> handedOver_;
  std::thread thread_;
};

}  // namespace lumaq
