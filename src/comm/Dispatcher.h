// Hands work from the serial event thread to the thread that owns the port and
// waits for it. The window program runs the calls in its event loop, the
// command-line program and the tests in a plain loop (LoopDispatcher).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace lumaq {

// One piece of work handed to the owner's thread. The worker waits for it; the
// owner runs it, or cancels it when it will never get round to it (closing the
// port). A cancelled call is never run, even if its turn comes later.
class PendingCall {
 public:
  explicit PendingCall(std::function<void()> task);

  // Owner's thread: runs the task unless it was cancelled. The call counts as
  // done even when the task throws; the exception goes on to the caller.
  void Run();
  // Any thread: a call that has not started will not run; one that is running
  // completes. Returns at once.
  void Cancel();
  // Worker: blocks until the call has run (true) or was cancelled (false).
  bool Wait();

 private:
  enum class State { kWaiting, kRunning, kDone, kCancelled };
  std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::kWaiting;
  std::function<void()> task_;
};

class Dispatcher {
 public:
  virtual ~Dispatcher() = default;
  // Any thread: arranges for call->Run() on the owner's thread later; never
  // runs it on the calling thread.
  virtual void Post(std::shared_ptr<PendingCall> call) = 0;
};

// A plain loop on the thread that calls its Run functions.
class LoopDispatcher final : public Dispatcher {
 public:
  using Duration = std::chrono::steady_clock::duration;

  void Post(std::shared_ptr<PendingCall> call) override;

  // Waits up to timeout for a call and runs it; false when none came.
  bool RunOne(Duration timeout);
  // Runs the calls already posted, without waiting; returns how many.
  std::size_t RunPending();
  // Runs calls until done() holds (checked before each wait and after each
  // call); false when timeout passed first.
  bool RunUntil(const std::function<bool()>& done, Duration timeout);
  // Runs calls until Quit().
  void Run();
  // Any thread: makes Run return after the call it is running, if any.
  void Quit();

  std::size_t PendingCount() const;

 private:
  // The next call, or none when the deadline passed (or Quit() came, with
  // untilQuit).
  std::shared_ptr<PendingCall> Take(std::chrono::steady_clock::time_point deadline, bool untilQuit);

  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::shared_ptr<PendingCall>> calls_;
  bool quit_ = false;
};

}  // namespace lumaq
