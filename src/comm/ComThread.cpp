#include "comm/ComThread.h"

#include <utility>

#include "comm/LineWatch.h"

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
  LineWatch watch(device_, queue_, events_);
  while (!stop_) {
    const LineWatch::Outcome outcome = watch.WaitOnce(kNoDeadline, true, stop_);
    if (outcome.stopped) break;
    if (!outcome.event) continue;
    const LineEvent& event = *outcome.event;
    if (!Dispatch(event.rxChar, event.lineErrors, event.lineGone)) break;
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
