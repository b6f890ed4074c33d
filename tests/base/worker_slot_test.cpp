#include "base/worker_slot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <memory>
#include <thread>
#include <vector>

#include "base/delay.h"
#include "tests/support/hang_guard.h"

namespace ak {
namespace {

using testing::EventuallyTrue;
using testing::MustEnd;

// A body that signals when it runs and returns only once released.
struct HeldBody {
  std::latch running{1};
  std::latch release{1};
  std::atomic<bool> returned{false};

  WorkerSlot::Body Body() {
    return [this](WorkerGate&) {
      running.count_down();
      release.wait();
      returned = true;
    };
  }
};

TEST(WorkerSlot, StartsOnlyWhenNoneRunsAndAgainAfterTheBodyReturned) {
  WorkerSlot slot;
  EXPECT_FALSE(slot.Running());
  HeldBody first;
  ASSERT_TRUE(slot.Start(first.Body()));
  EXPECT_TRUE(slot.Running());
  first.running.wait();
  std::atomic<bool> second_ran{false};
  EXPECT_FALSE(slot.Start([&](WorkerGate&) { second_ran = true; }));
  EXPECT_TRUE(slot.Running()) << "true until the body returns";
  first.release.count_down();
  MustEnd("waiting for the first body", [&] { slot.Wait(); });
  EXPECT_TRUE(first.returned);
  EXPECT_FALSE(slot.Running());
  EXPECT_FALSE(second_ran);

  HeldBody third;
  ASSERT_TRUE(slot.Start(third.Body()));
  third.running.wait();
  third.release.count_down();
  MustEnd("waiting for the third body", [&] { slot.Wait(); });
  EXPECT_TRUE(third.returned);
}

// A start right after the body returned, without Wait(): the slot frees itself.
TEST(WorkerSlot, FreesItselfWhenTheBodyReturns) {
  WorkerSlot slot;
  for (int i = 0; i < 50; ++i) {
    std::atomic<bool> ran{false};
    ASSERT_TRUE(slot.Start([&](WorkerGate&) { ran = true; }));
    ASSERT_TRUE(EventuallyTrue([&] { return !slot.Running(); }));
    EXPECT_TRUE(ran);
  }
}

TEST(WorkerSlot, ConcurrentStartsStartOneWorker) {
  WorkerSlot slot;
  HeldBody body;
  std::latch ready(6);
  std::atomic<int> started{0};
  std::vector<std::thread> starters;
  for (int i = 0; i < 6; ++i) {
    starters.emplace_back([&] {
      ready.arrive_and_wait();
      if (slot.Start(body.Body())) ++started;
    });
  }
  for (std::thread& starter : starters) starter.join();
  EXPECT_EQ(started.load(), 1);
  body.release.count_down();
  MustEnd("waiting for the body", [&] { slot.Wait(); });
}

// A start requested while an ended worker is still leaving returns at once and runs right after
// it, once; one requested while a worker runs unstopped, or a second one, starts nothing; and a
// chained worker ended before it began never begins.
TEST(WorkerSlot, StartAfterEndedFollowsALeavingWorkerOnceWithoutWaiting) {
  WorkerSlot slot;
  HeldBody leaving;
  ASSERT_TRUE(slot.Start(leaving.Body()));
  leaving.running.wait();
  std::atomic<int> runs{0};
  std::atomic<bool> ranAfterLeaving{false};
  auto follower = [&](WorkerGate& gate) {
    ranAfterLeaving = leaving.returned.load();
    EXPECT_FALSE(gate.Stopped());
    ++runs;
  };
  EXPECT_FALSE(slot.StartAfterEnded(follower)) << "the running worker was not ended";
  EXPECT_FALSE(slot.Leaving());
  slot.Stop();
  EXPECT_TRUE(slot.Leaving());
  // The leaving body is held by the test: a start that waited for it would never return.
  MustEnd("chaining to the leaving worker", [&] { EXPECT_TRUE(slot.StartAfterEnded(follower)); });
  EXPECT_FALSE(slot.Leaving());
  EXPECT_FALSE(slot.StartAfterEnded(follower)) << "a start already waits";
  EXPECT_FALSE(slot.Start(follower));
  EXPECT_EQ(runs.load(), 0);
  leaving.release.count_down();
  MustEnd("waiting for both workers", [&] { slot.Wait(); });
  EXPECT_EQ(runs.load(), 1);
  EXPECT_TRUE(ranAfterLeaving);
  EXPECT_FALSE(slot.Running());

  // Ended before it began: the chained worker never runs, and a new start may replace it.
  HeldBody again;
  ASSERT_TRUE(slot.Start(again.Body()));
  again.running.wait();
  slot.Stop();
  std::atomic<int> cancelled{0};
  ASSERT_TRUE(slot.StartAfterEnded([&](WorkerGate&) { ++cancelled; }));
  slot.Stop();
  ASSERT_TRUE(slot.StartAfterEnded(follower));
  again.release.count_down();
  MustEnd("waiting for the last worker", [&] { slot.Wait(); });
  EXPECT_EQ(cancelled.load(), 0);
  EXPECT_EQ(runs.load(), 2);
}

TEST(WorkerSlot, PauseContinueAndStopReachTheRunningWorker) {
  WorkerSlot slot;
  slot.Pause();  // nothing runs: nothing to pause, the next worker starts unpaused
  std::atomic<WorkerGate*> gate{nullptr};
  std::atomic<int> laps{0};
  std::latch first_lap(1), paused(1);
  ASSERT_TRUE(slot.Start([&](WorkerGate& g) {
    gate = &g;
    while (g.Checkpoint()) {
      if (++laps == 1) {
        first_lap.count_down();
        paused.wait();
      }
    }
  }));
  first_lap.wait();
  slot.Pause();
  paused.count_down();
  ASSERT_TRUE(EventuallyTrue([&] { return gate.load()->Holding(); }));
  EXPECT_EQ(laps.load(), 1);
  slot.Continue();
  ASSERT_TRUE(EventuallyTrue([&] { return laps.load() > 1; }));
  slot.Pause();
  ASSERT_TRUE(EventuallyTrue([&] { return gate.load()->Holding(); }));
  slot.Stop();
  MustEnd("waiting for the stopped worker", [&] { slot.Wait(); });
  EXPECT_FALSE(slot.Running());
}

TEST(WorkerSlot, DestructorStopsAWorkerInADelayAndWaitsForIt) {
  std::atomic<bool> returned{false};
  std::latch delaying(1);
  auto slot = std::make_unique<WorkerSlot>();
  ASSERT_TRUE(slot->Start([&](WorkerGate& gate) {
    delaying.count_down();
    while (gate.Checkpoint()) PumpingDelay(1, 3, gate.StopToken());  // an hour per lap
    returned = true;
  }));
  delaying.wait();
  MustEnd("destroying the slot", [&] { slot.reset(); });
  EXPECT_TRUE(returned) << "the destructor waited for the body";
}

// Waits from several threads: none returns before the body has.
TEST(WorkerSlot, EveryWaiterWaitsForTheBody) {
  for (int round = 0; round < 20; ++round) {
    WorkerSlot slot;
    HeldBody body;
    ASSERT_TRUE(slot.Start(body.Body()));
    body.running.wait();
    std::latch waiting(3);
    std::atomic<int> early{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
      waiters.emplace_back([&] {
        waiting.count_down();
        slot.Wait();
        if (!body.returned) ++early;
      });
    }
    waiting.wait();
    body.release.count_down();
    MustEnd("the waiters", [&] {
      for (std::thread& waiter : waiters) waiter.join();
    });
    EXPECT_EQ(early.load(), 0);
  }
}

}  // namespace
}  // namespace ak
