#include "comm/ComInputQueue.h"

#include <algorithm>
#include <iterator>

namespace lumaq {

void ComInputQueue::SetCapacity(std::size_t capacity) {
  bool grown;
  {
    std::lock_guard lock(mutex_);
    grown = capacity > capacity_;
    capacity_ = capacity;
  }
  if (grown) device_.Interrupt();
}

std::size_t ComInputQueue::Take(std::span<std::uint8_t> into) {
  std::lock_guard lock(mutex_);
  const std::size_t queued = std::min(into.size(), bytes_.size());
  const bool wasFull = Full();
  std::copy_n(bytes_.begin(), queued, into.begin());
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(queued));
  // The event thread stopped reading the device while the queue was full.
  if (wasFull && queued > 0) device_.Interrupt();
  if (queued == into.size()) return queued;
  return queued + device_.ReadAvailable(into.subspan(queued));
}

std::size_t ComInputQueue::Count() {
  std::lock_guard lock(mutex_);
  return bytes_.size() + device_.BytesWaiting();
}

std::size_t ComInputQueue::CountOrQueued() {
  std::lock_guard lock(mutex_);
  std::size_t count = bytes_.size();
  try {
    count += device_.BytesWaiting();
  } catch (const SerialError&) {
    // A line that is gone holds only what is queued.
  }
  return count;
}

std::size_t ComInputQueue::Queued() {
  std::lock_guard lock(mutex_);
  return bytes_.size();
}

void ComInputQueue::ClearLocked() {
  if (Full()) device_.Interrupt();
  bytes_.clear();
}

void ComInputQueue::Clear() {
  std::lock_guard lock(mutex_);
  ClearLocked();
}

void ComInputQueue::Purge(bool input, bool output) {
  std::lock_guard lock(mutex_);
  if (input) ClearLocked();
  device_.Flush(input, output);
}

ComInputQueue::Reader::Reader(ComInputQueue& queue) : queue_(queue) {
  std::lock_guard lock(queue_.mutex_);
  queue_.readerActive_ = true;
}

ComInputQueue::Reader::~Reader() {
  {
    std::lock_guard lock(queue_.mutex_);
    queue_.readerActive_ = false;
  }
  queue_.readerDone_.notify_all();
}

bool ComInputQueue::HasRoom() {
  std::lock_guard lock(mutex_);
  return !Full();
}

ComInputQueue::Fill ComInputQueue::FillFromDevice(bool moveBytes, bool takeLineErrors,
                                                  const std::atomic<bool>& stop) {
  Fill fill;
  std::unique_lock lock(mutex_);
  readerDone_.wait(lock, [&] { return !readerActive_ || stop; });
  if (stop) {
    fill.stopped = true;
    return fill;
  }
  try {
    if (moveBytes) {
      std::uint8_t chunk[4096];
      while (!Full()) {
        const std::size_t room = std::min(sizeof chunk, capacity_ - bytes_.size());
        const std::size_t got = device_.ReadAvailable(std::span(chunk, room));
        fill.deviceEmptied = got < room;
        if (got == 0) break;
        bytes_.insert(bytes_.end(), chunk, chunk + got);
        fill.moved = true;
        // A read short of the room took all there was; asking again would cost
        // a system call per event for nothing (what comes later wakes the wait).
        if (fill.deviceEmptied) break;
      }
    }
    if (takeLineErrors) fill.lineErrors = device_.TakeLineErrors();
  } catch (const SerialError&) {
    fill.hungUp = true;
  }
  return fill;
}

void ComInputQueue::WakeFiller() {
  {
    // Through the lock, so that a FillFromDevice about to wait cannot miss it.
    std::lock_guard lock(mutex_);
  }
  readerDone_.notify_all();
}

}  // namespace lumaq
