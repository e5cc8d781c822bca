#include "comm/ComThread.h"

#include <cstdint>
#include <vector>

#include "comm/ComPort.h"
#include "comm/SerialDevice.h"

namespace lumaq {

TComThread::TComThread(TCustomComPort& owner)
    : owner_(owner), events_(owner.Events()), syncMethod_(owner.SyncMethod()) {
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
  {
    // Through the queue's mutex, so that a wait for the reader cannot miss it.
    std::lock_guard lock(owner_.inputMutex_);
  }
  owner_.readerDone_.notify_all();
  owner_.device_->Interrupt();
}

void TComThread::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TComThread::MoveToQueue(bool& moved) {
  std::uint8_t chunk[4096];
  auto& queue = owner_.queue_;
  while (queue.size() < owner_.queueCapacity_) {
    const std::size_t room = std::min(sizeof chunk, owner_.queueCapacity_ - queue.size());
    const std::size_t got = owner_.device_->ReadAvailable(std::span(chunk, room));
    if (got == 0) break;
    queue.insert(queue.end(), chunk, chunk + got);
    moved = true;
    // A read short of the room took all there was; asking again would cost a
    // system call per event for nothing (what comes later wakes the wait).
    if (got < room) break;
  }
}

void TComThread::Execute() {
  SerialDevice& device = *owner_.device_;
  const bool watchBytes = events_.Contains(evRxChar);
  const bool watchErrors = events_.Contains(evError);
  bool lineGone = false;
  while (!stop_) {
    unsigned what = kWaitInterrupt;
    if (!lineGone) {
      what |= kWaitLine;
      std::lock_guard lock(owner_.inputMutex_);
      // A full queue is left alone until the program reads from it.
      if (watchBytes && owner_.queue_.size() < owner_.queueCapacity_) what |= kWaitReadable;
    }
    SerialWaitResult result;
    try {
      result = device.Wait(kNoDeadline, what);
    } catch (const SerialError&) {
      result = SerialWaitResult::kHungUp;
    }
    if (stop_) break;
    if (result == SerialWaitResult::kInterrupted) continue;

    bool moved = false;
    bool hungUp = result == SerialWaitResult::kHungUp;
    unsigned lineErrors = 0;
    {
      std::unique_lock lock(owner_.inputMutex_);
      owner_.readerDone_.wait(lock, [this] { return !owner_.readerActive_ || stop_; });
      if (stop_) break;
      try {
        if (result == SerialWaitResult::kReadable) MoveToQueue(moved);
        if (watchErrors) lineErrors = device.TakeLineErrors();
      } catch (const SerialError&) {
        hungUp = true;
      }
    }
    if (hungUp) lineGone = true;
    const bool reportBytes = watchBytes && moved;
    const bool reportErrors = watchErrors && (hungUp || lineErrors != 0);
    if (!reportBytes && !reportErrors) continue;
    if (!Dispatch(reportBytes, reportErrors ? lineErrors : 0, reportErrors && hungUp)) break;
  }
}

bool TComThread::Dispatch(bool rxChar, unsigned lineErrors, bool lineGone) {
  TCustomComPort& owner = owner_;
  auto task = [&owner, rxChar, lineErrors, lineGone] {
    owner.RunDispatch(rxChar, lineErrors, lineGone);
  };
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
  owner_.dispatcher_.Post(call);
  call->Wait();
  {
    std::lock_guard lock(mutex_);
    handedOver_.reset();
  }
  return !stop_;
}

}  // namespace lumaq
