// The input queue between the port and its event thread, on a line in memory:
// the order of the bytes, the full and empty handshake that wakes the event
// thread, the reader handshake, and a line that is gone.
#include "comm/ComInputQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "support/RecordingSerialDevice.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using test::RecordingSerialDevice;

std::string Take(ComInputQueue& queue, std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  bytes.resize(queue.Take(bytes));
  return std::string(bytes.begin(), bytes.end());
}

ComInputQueue::Fill FillBytes(ComInputQueue& queue) {
  const std::atomic<bool> stop{false};
  return queue.FillFromDevice(true, false, stop);
}

TEST(ComInputQueue, QueuedBytesComeFirstThenTheDevices) {
  RecordingSerialDevice device;
  ComInputQueue queue(device);
  device.Feed("abc");
  EXPECT_TRUE(FillBytes(queue).moved);
  device.Feed("def");
  EXPECT_EQ(queue.Count(), 6u);
  EXPECT_EQ(Take(queue, 5), "abcde");
  EXPECT_EQ(Take(queue, 5), "f");
  EXPECT_EQ(Take(queue, 5), "");
  EXPECT_FALSE(FillBytes(queue).moved);
}

TEST(ComInputQueue, FullQueueWaitsForTheProgramAndTakingWakesTheThread) {
  RecordingSerialDevice device;
  ComInputQueue queue(device);
  queue.SetCapacity(4);
  device.Feed("abcdef");
  EXPECT_TRUE(FillBytes(queue).moved);
  EXPECT_FALSE(queue.HasRoom());
  EXPECT_EQ(device.Unread(), "ef") << "bytes beyond the capacity stay in the device";
  EXPECT_FALSE(FillBytes(queue).moved);

  const int before = device.Interrupts();
  EXPECT_EQ(Take(queue, 1), "a");
  EXPECT_EQ(device.Interrupts(), before + 1) << "room again: the event thread is woken";
  EXPECT_TRUE(queue.HasRoom());
  EXPECT_TRUE(FillBytes(queue).moved);
  EXPECT_EQ(Take(queue, 2), "bc");
  EXPECT_EQ(device.Interrupts(), before + 2);
  EXPECT_EQ(Take(queue, 1), "d");
  EXPECT_EQ(device.Interrupts(), before + 2) << "a queue that was not full wakes nobody";
  EXPECT_EQ(Take(queue, 8), "ef");
}

TEST(ComInputQueue, ClearingOrGrowingAFullQueueWakesTheThread) {
  struct Case {
    const char* label;
    void (*act)(ComInputQueue&);
    int wakes;
  };
  const Case cases[] = {
      {"clear", [](ComInputQueue& q) { q.Clear(); }, 1},
      {"purge the input", [](ComInputQueue& q) { q.Purge(true, false); }, 1},
      {"purge the output only", [](ComInputQueue& q) { q.Purge(false, true); }, 0},
      {"grow", [](ComInputQueue& q) { q.SetCapacity(8); }, 1},
      {"shrink", [](ComInputQueue& q) { q.SetCapacity(2); }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RecordingSerialDevice device;
    ComInputQueue queue(device);
    queue.SetCapacity(4);
    device.Feed("abcd");
    FillBytes(queue);
    ASSERT_FALSE(queue.HasRoom());
    const int before = device.Interrupts();
    c.act(queue);
    EXPECT_EQ(device.Interrupts() - before, c.wakes);
  }
}

TEST(ComInputQueue, PurgeKeepsTheInputUnlessAsked) {
  RecordingSerialDevice device;
  ComInputQueue queue(device);
  device.Feed("ab");
  FillBytes(queue);
  device.Feed("c");
  queue.Purge(false, true);
  EXPECT_EQ(queue.Count(), 3u);
  queue.Purge(true, false);
  EXPECT_EQ(queue.Count(), 0u);
  using Purge = RecordingSerialDevice::Purge;
  EXPECT_EQ(device.Purges(), (std::vector<Purge>{{false, true}, {true, false}}));
}

// FillFromDevice on a thread of its own; never left waiting at the end.
struct BackgroundFill {
  explicit BackgroundFill(ComInputQueue& q) : queue(q) {}
  ~BackgroundFill() {
    stop = true;
    queue.WakeFiller();
  }
  ComInputQueue& queue;
  std::atomic<bool> stop{false};
  std::future<ComInputQueue::Fill> result =
      std::async(std::launch::async, [this] { return queue.FillFromDevice(true, false, stop); });
};

TEST(ComInputQueue, FillWaitsUntilARunningReadEnds) {
  RecordingSerialDevice device;
  ComInputQueue queue(device);
  device.Feed("x");
  std::optional<ComInputQueue::Reader> reader;
  reader.emplace(queue);
  BackgroundFill fill(queue);
  EXPECT_EQ(fill.result.wait_for(50ms), std::future_status::timeout) << "filled during a read";
  EXPECT_EQ(device.Unread(), "x");
  reader.reset();
  ASSERT_EQ(fill.result.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(fill.result.get().moved);
  EXPECT_EQ(Take(queue, 2), "x");
}

TEST(ComInputQueue, StopEndsAFillThatWaitsForARead) {
  RecordingSerialDevice device;
  ComInputQueue queue(device);
  device.Feed("x");
  const ComInputQueue::Reader reader(queue);
  BackgroundFill fill(queue);
  fill.stop = true;
  queue.WakeFiller();
  ASSERT_EQ(fill.result.wait_for(5s), std::future_status::ready);
  const ComInputQueue::Fill result = fill.result.get();
  EXPECT_TRUE(result.stopped);
  EXPECT_FALSE(result.moved);
  EXPECT_EQ(device.Unread(), "x");
}

TEST(ComInputQueue, LineThatIsGoneKeepsWhatWasQueued) {
  RecordingSerialDevice device;
  ComInputQueue queue(device);
  device.Feed("ab");
  FillBytes(queue);
  device.Feed("c");
  device.HangUp();
  EXPECT_THROW(queue.Count(), SerialError);
  EXPECT_EQ(queue.CountOrQueued(), 2u);
  // A read that takes less than there is room for took all there was: the
  // fill stops there, and the next one finds the line gone.
  const ComInputQueue::Fill fill = FillBytes(queue);
  EXPECT_TRUE(fill.moved) << "what arrived before the line went is kept";
  EXPECT_TRUE(FillBytes(queue).hungUp);
  EXPECT_EQ(Take(queue, 3), "abc");
  EXPECT_THROW(Take(queue, 1), SerialError);
}

}  // namespace
}  // namespace lumaq
