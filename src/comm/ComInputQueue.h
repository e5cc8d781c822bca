// The bytes the port has received and holds for the program, shared by the
// port on the owner's thread and its event thread.
//
// The device is read under the queue's lock only, so the two threads never
// read it at once, and while a Read runs (a Reader lives) the event thread
// leaves the device to it. A full queue is not filled further: the event
// thread then stops watching for bytes, and the queue wakes it (the device's
// Interrupt) as soon as there is room again.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>

#include "comm/SerialDevice.h"

namespace lumaq {

class ComInputQueue {
 public:
  explicit ComInputQueue(SerialDevice& device) : device_(device) {}
  ComInputQueue(const ComInputQueue&) = delete;
  ComInputQueue& operator=(const ComInputQueue&) = delete;

  // The most bytes the queue holds; more wait in the device. Growing it wakes
  // the event thread.
  void SetCapacity(std::size_t capacity);

  // --- The port --------------------------------------------------------------
  // Takes up to into.size() bytes without waiting: the queued ones first, then
  // what the device holds. Raises SerialError.
  std::size_t Take(std::span<std::uint8_t> into);
  // The bytes queued and those waiting in the device. Raises SerialError.
  std::size_t Count();
  // The same, but when the device fails (the line is gone), the bytes queued.
  std::size_t CountOrQueued();
  // The bytes queued alone.
  std::size_t Queued();
  // Drops what is queued.
  void Clear();
  // Drops what is queued (input) and purges the device's queues. Raises
  // SerialError; the queued bytes are gone either way.
  void Purge(bool input, bool output);

  // While a Reader lives, the event thread does not fill the queue.
  class Reader {
   public:
    explicit Reader(ComInputQueue& queue);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

   private:
    ComInputQueue& queue_;
  };

  // --- The event thread ------------------------------------------------------
  // Whether the queue has room for more bytes.
  bool HasRoom();

  struct Fill {
    bool stopped = false;        // stop was set first; nothing was done
    bool moved = false;          // bytes came into the queue
    unsigned lineErrors = 0;     // SerialLineError bits
    bool hungUp = false;         // the device failed: the line is gone
    bool deviceEmptied = false;  // a read took all the device held
  };
  // Waits until no Reader lives, or until stop is set. Then, under the lock,
  // moves what the device holds into the queue while there is room
  // (moveBytes) and takes the device's line errors (takeLineErrors).
  Fill FillFromDevice(bool moveBytes, bool takeLineErrors, const std::atomic<bool>& stop);
  // Any thread: makes a waiting FillFromDevice look at its stop flag again.
  void WakeFiller();

 private:
  bool Full() const { return bytes_.size() >= capacity_; }
  // Under the lock: drops what is queued, waking the event thread when the
  // queue was full.
  void ClearLocked();

  SerialDevice& device_;
  std::mutex mutex_;
  std::condition_variable readerDone_;
  std::deque<std::uint8_t> bytes_;
  std::size_t capacity_ = 1024;
  bool readerActive_ = false;
};

}  // namespace lumaq
