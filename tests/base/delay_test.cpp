#include "base/delay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>

namespace ak {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(Delay, UnitsScaleTheAmount) {
  const struct {
    long long amount, unit, expected;
  } cases[] = {
      {2, 1, 2000},      {2000, 0, 2000},
      {1, 2, 60'000},    {1, 3, 3'600'000},
      {3, 7, 21},        {0, 1, 0},
      {0, 0, 0},         {-5, 0, 0},
      {5, -1, 0},        {LLONG_MAX, 3, 1'000'000'000'000LL},
      {LLONG_MIN, 3, 0}, {LLONG_MAX, 0, 1'000'000'000'000LL},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DelayMilliseconds(c.amount, c.unit), c.expected) << c.amount << " x " << c.unit;
}

TEST(Delay, WaitsAtLeastTheTimeAsked) {
  const auto start = Clock::now();
  EXPECT_TRUE(PumpingDelay(50));
  EXPECT_GE(Clock::now() - start, milliseconds(50));
  EXPECT_TRUE(PumpingDelay());
}

TEST(Delay, StopEndsTheWaitEarly) {
  std::stop_source source;
  source.request_stop();
  EXPECT_TRUE(PumpingDelay(1, 3, source.get_token()));  // an hour, already stopped

  std::atomic<bool> returned{false};
  const auto start = Clock::now();
  {
    std::jthread worker =
        StartThread([&](std::stop_token stop) { returned = PumpingDelay(1, 3, stop); });
    ASSERT_TRUE(worker.joinable());
    PumpingDelay(20);
  }  // the thread's end requests stop and joins
  EXPECT_TRUE(returned);
  // The hour-long wait ends with the stop, not with its time: far below the hour even on a
  // loaded machine, yet a bound no delay that ignores the stop could meet.
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
}

TEST(Delay, EventPumpRunsWhileWaitingOnItsThread) {
  int calls = 0;
  milliseconds longest{0};
  SetEventPump(std::this_thread::get_id(), [&](milliseconds slice) {
    ++calls;
    longest = std::max(longest, slice);
    std::this_thread::sleep_for(slice);
  });
  const auto start = Clock::now();
  PumpingDelay(40);
  EXPECT_GE(Clock::now() - start, milliseconds(40));
  // Short slices keep the window served during a long wait; how many of them fit depends on
  // how busy the machine is, so only their length is checked.
  EXPECT_GE(calls, 1);
  EXPECT_LE(longest, milliseconds(10));

  // Another thread does not run this thread's pump.
  const int before = calls;
  std::jthread other = StartThread([] { PumpingDelay(20); });
  other.join();
  EXPECT_EQ(calls, before);

  SetEventPump(std::this_thread::get_id(), {});
  PumpingDelay(15);
  EXPECT_EQ(calls, before);
}

TEST(Delay, StartThreadRunsBodiesWithAndWithoutStopToken) {
  std::atomic<int> ran{0};
  {
    auto plain = StartThread([&] { ++ran; });
    auto stoppable = StartThread([&](std::stop_token stop) {
      while (!stop.stop_requested()) std::this_thread::yield();
      ++ran;
    });
    plain.join();
    EXPECT_EQ(ran, 1);
  }
  EXPECT_EQ(ran, 2);
}

TEST(Delay, RunningWorkersCountsFromStartToTheEndOfTheBody) {
  const int before = RunningWorkers();
  std::atomic<bool> release{false};
  std::jthread worker = StartThread([&] {
    while (!release) std::this_thread::yield();
  });
  EXPECT_EQ(RunningWorkers(), before + 1);
  release = true;
  worker.join();
  EXPECT_EQ(RunningWorkers(), before);
}

}  // namespace
}  // namespace ak
