#include "comm/Dispatcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace lumaq {
namespace {

using namespace std::chrono_literals;

TEST(PendingCall, RunsOnceOrNeverAndTellsTheWaiter) {
  int runs = 0;
  auto call = std::make_shared<PendingCall>([&runs] { ++runs; });
  call->Run();
  call->Run();
  call->Cancel();
  EXPECT_TRUE(call->Wait());
  EXPECT_EQ(runs, 1);

  auto cancelled = std::make_shared<PendingCall>([&runs] { ++runs; });
  cancelled->Cancel();
  cancelled->Run();
  EXPECT_FALSE(cancelled->Wait());
  EXPECT_EQ(runs, 1);
}

TEST(PendingCall, ThrowingTaskStillCountsAsDone) {
  auto call = std::make_shared<PendingCall>([] { throw std::runtime_error("handler failed"); });
  EXPECT_THROW(call->Run(), std::runtime_error);
  EXPECT_TRUE(call->Wait());
}

TEST(LoopDispatcher, RunsPostedCallsOnItsOwnThreadWhileTheWorkerWaits) {
  LoopDispatcher loop;
  const auto owner = std::this_thread::get_id();
  std::thread::id ranOn;
  bool ran = false;
  std::thread worker([&] {
    auto call = std::make_shared<PendingCall>([&] { ranOn = std::this_thread::get_id(); });
    loop.Post(call);
    ran = call->Wait();
  });
  EXPECT_TRUE(loop.RunOne(5s));
  worker.join();
  EXPECT_TRUE(ran);
  EXPECT_EQ(ranOn, owner);
  EXPECT_FALSE(loop.RunOne(20ms)) << "nothing more was posted";
}

TEST(LoopDispatcher, CancelledCallsAreSkippedAndQuitEndsRun) {
  LoopDispatcher loop;
  int runs = 0;
  auto cancelled = std::make_shared<PendingCall>([&runs] { ++runs; });
  loop.Post(cancelled);
  cancelled->Cancel();
  loop.Post(std::make_shared<PendingCall>([&] {
    ++runs;
    loop.Quit();
  }));
  EXPECT_EQ(loop.PendingCount(), 2u);
  loop.Run();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(loop.PendingCount(), 0u);

  std::thread quitter([&] {
    std::this_thread::sleep_for(20ms);
    loop.Quit();
  });
  loop.Run();  // returns once quit from another thread
  quitter.join();
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 30ms)) << "a past Quit does not end RunUntil";
}

TEST(LoopDispatcher, RunUntilStopsWhenDone) {
  LoopDispatcher loop;
  int runs = 0;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      auto call = std::make_shared<PendingCall>([&runs] { ++runs; });
      loop.Post(call);
      call->Wait();
    }
  });
  EXPECT_TRUE(loop.RunUntil([&] { return runs == 3; }, 5s));
  worker.join();
  EXPECT_EQ(loop.RunPending(), 0u);
}

}  // namespace
}  // namespace lumaq
