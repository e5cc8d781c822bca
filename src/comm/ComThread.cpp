#include "comm/ComThread.h"

#include <utility>

namespace lumaq {

TComThread::TComThread(SerialDevice& device, ComInputQueue& queue, Dispatcher& dispatcher,
                       TComEvents events, TSyncMethod syncMethod, DispatchHandler dispatch)
    : device_(device),
      queue_(queue),
      dispatcher_(dispatcher),
      events_(events),
      syncMethod_(syncMethod),
      dispatch_(std::move(dispatch)) {
  thread_ = std::thread([this] { Execute(); });
}

TComThread::~TComThread() {
  RequestStop();
  Join();
}

void TComThread::RequestStop() {
  stop_ = true;
  {
    std::lock_guard lock(mutex_);
    if (handedOver_) handedOver_->Cancel();
  }
  queue_.WakeFiller();
  device_.Interrupt();
}

void TComThread::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TComThread::Execute() {
  const bool watchBytes = events_.Contains(evRxChar);
  const bool watchErrors = events_.Contains(evError);
  bool lineGone = false;
  while (!stop_) {
    unsigned what = kWaitInterrupt;
    if (!lineGone) {
      what |= kWaitLine;
      // A full queue is left alone until the program reads from it.
      if (watchBytes && queue_.HasRoom()) what |= kWaitReadable;
    }
    SerialWaitResult result;
    try {
      result = device_.Wait(kNoDeadline, what);
    } catch (const SerialError&) {
      result = SerialWaitResult::kHungUp;
    }
    if (stop_) break;
    if (result == SerialWaitResult::kInterrupted) continue;

    const ComInputQueue::Fill fill =
        queue_.FillFromDevice(result == SerialWaitResult::kReadable, watchErrors, stop_);
    if (fill.stopped) break;
    const bool hungUp = result == SerialWaitResult::kHungUp || fill.hungUp;
    if (hungUp) lineGone = true;
    const bool reportBytes = watchBytes && fill.moved;
    const bool reportErrors = watchErrors && (hungUp || fill.lineErrors != 0);
    if (!reportBytes && !reportErrors) continue;
    if (!Dispatch(reportBytes, reportErrors ? fill.lineErrors : 0, reportErrors && hungUp)) break;
  }
}

bool TComThread::Dispatch(bool rxChar, unsigned lineErrors, bool lineGone) {
  auto task = [this, rxChar, lineErrors, lineGone] { dispatch_(rxChar, lineErrors, lineGone); };
  if (syncMethod_ == smNone) {
    task();
    return !stop_;
  }
  auto call = std::make_shared<PendingCall>(std::move(task));
  {
    std::lock_guard lock(mutex_);
    if (stop_) return false;
    handedOver_ = call;
  }
  dispatcher_.Post(call);
  call->Wait();
  {
    std::lock_guard lock(mutex_);
    handedOver_.reset();
  }
  return !stop_;
}

}  // namespace lumaq
