#include "comm/Dispatcher.h"

#include <utility>

namespace lumaq {

PendingCall::PendingCall(std::function<void()> task) : task_(std::move(task)) {}

void PendingCall::Run() {
  std::function<void()> task;
  {
    std::lock_guard lock(mutex_);
    if (state_ != State::kWaiting) return;
    state_ = State::kRunning;
    task = std::move(task_);
  }
  struct MarkDone {
    PendingCall& call;
    ~MarkDone() {
      {
        std::lock_guard lock(call.mutex_);
        call.state_ = State::kDone;
      }
      // Outside the lock, so that the waiter does not wake only to wait for
      // it; the caller of Run still holds the call.
      call.changed_.notify_all();
    }
  } markDone{*this};
  task();
}

void PendingCall::Cancel() {
  std::function<void()> released;
  std::lock_guard lock(mutex_);
  if (state_ != State::kWaiting) return;
  state_ = State::kCancelled;
  released = std::move(task_);
  changed_.notify_all();
}

bool PendingCall::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return state_ == State::kDone || state_ == State::kCancelled; });
  return state_ == State::kDone;
}

void LoopDispatcher::Post(std::shared_ptr<PendingCall> call) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  posted_.notify_all();
}

std::shared_ptr<PendingCall> LoopDispatcher::Take(std::chrono::steady_clock::time_point deadline,
                                                  bool untilQuit) {
  std::unique_lock lock(mutex_);
  const auto ready = [this, untilQuit] { return !calls_.empty() || (untilQuit && quit_); };
  if (deadline == std::chrono::steady_clock::time_point::max()) {
    posted_.wait(lock, ready);
  } else {
    posted_.wait_until(lock, deadline, ready);
  }
  if (calls_.empty()) return nullptr;
  auto call = std::move(calls_.front());
  calls_.pop_front();
  return call;
}

bool LoopDispatcher::RunOne(Duration timeout) {
  auto call = Take(std::chrono::steady_clock::now() + timeout, false);
  if (!call) return false;
  call->Run();
  return true;
}

std::size_t LoopDispatcher::RunPending() {
  std::deque<std::shared_ptr<PendingCall>> calls;
  {
    std::lock_guard lock(mutex_);
    calls.swap(calls_);
  }
  for (auto& call : calls) call->Run();
  return calls.size();
}

bool LoopDispatcher::RunUntil(const std::function<bool()>& done, Duration timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (auto call = Take(deadline, false)) call->Run();
  }
  return true;
}

void LoopDispatcher::Run() {
  for (;;) {
    auto call = Take(std::chrono::steady_clock::time_point::max(), true);
    if (call) call->Run();
    std::lock_guard lock(mutex_);
    if (quit_) {
      quit_ = false;
      return;
    }
  }
}

void LoopDispatcher::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  posted_.notify_all();
}

std::size_t LoopDispatcher::PendingCount() const {
  std::lock_guard lock(mutex_);
  return calls_.size();
}

}  // namespace lumaq
