#include "base/worker_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

#include "base/delay.h"
#include "tests/support/hang_guard.h"

namespace ak {
namespace {

using testing::EventuallyTrue;
using testing::MustEnd;

// A worker of numbered steps with a safe point after each; it records the last step done.
struct StepWorker {
  WorkerGate& gate;
  int steps;
  std::atomic<int> done{0};
  std::atomic<bool> ended_by_stop{false};

  void Run(std::latch* after_step_three, std::latch* go_on) {
    for (int step = 1; step <= steps; ++step) {
      done = step;
      if (step == 3 && after_step_three != nullptr) {
        after_step_three->count_down();
        go_on->wait();
      }
      if (!gate.Checkpoint()) {
        ended_by_stop = true;
        return;
      }
    }
  }
};

TEST(WorkerGate, PauseHoldsAtTheNextSafePointAndContinueResumesThere) {
  WorkerGate gate;
  StepWorker worker{gate, 6};
  std::latch after_step_three(1), paused(1);
  std::thread thread([&] { worker.Run(&after_step_three, &paused); });
  after_step_three.wait();
  gate.Pause();
  paused.count_down();
  ASSERT_TRUE(EventuallyTrue([&] { return gate.Holding(); }));
  EXPECT_TRUE(gate.Paused());
  EXPECT_EQ(worker.done.load(), 3) << "no work past the safe point while paused";
  gate.Continue();
  MustEnd("the continued worker", [&] { thread.join(); });
  EXPECT_EQ(worker.done.load(), 6);
  EXPECT_FALSE(worker.ended_by_stop);
  EXPECT_FALSE(gate.Holding());
}

TEST(WorkerGate, StopReleasesAPausedWorkerAtOnce) {
  WorkerGate gate;
  gate.Pause();
  StepWorker worker{gate, 6};
  std::thread thread([&] { worker.Run(nullptr, nullptr); });
  ASSERT_TRUE(EventuallyTrue([&] { return gate.Holding(); }));
  EXPECT_EQ(worker.done.load(), 1);
  gate.Stop();
  MustEnd("the stopped worker", [&] { thread.join(); });
  EXPECT_TRUE(worker.ended_by_stop);
  EXPECT_EQ(worker.done.load(), 1);
  EXPECT_TRUE(gate.Stopped());
  EXPECT_FALSE(gate.Paused());
  EXPECT_TRUE(gate.StopToken().stop_requested());
}

TEST(WorkerGate, AStoppedGateCannotBePausedOrContinuedAgain) {
  WorkerGate gate;
  EXPECT_TRUE(gate.Checkpoint());
  gate.Pause();
  gate.Continue();
  EXPECT_TRUE(gate.Checkpoint()) << "a pause taken back before the safe point holds nothing";
  gate.Stop();
  gate.Pause();
  EXPECT_FALSE(gate.Paused());
  MustEnd("a safe point after stop", [&] { EXPECT_FALSE(gate.Checkpoint()); });
  gate.Continue();
  EXPECT_FALSE(gate.Checkpoint());
  EXPECT_TRUE(gate.Stopped());
}

// Pause and continue asked from many threads while another stops: whatever the order, the
// stop leaves the gate stopped and not paused, and no safe point holds afterwards.
TEST(WorkerGate, StopWinsOverPausesRacingWithIt) {
  for (int round = 0; round < 200; ++round) {
    WorkerGate gate;
    std::latch start(4);
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
      threads.emplace_back([&, i] {
        start.arrive_and_wait();
        for (int n = 0; n < 20; ++n) i == 0 ? gate.Continue() : gate.Pause();
      });
    }
    threads.emplace_back([&] {
      start.arrive_and_wait();
      gate.Stop();
    });
    for (std::thread& thread : threads) thread.join();
    EXPECT_FALSE(gate.Paused());
    MustEnd("a safe point after a racing stop", [&] { EXPECT_FALSE(gate.Checkpoint()); });
  }
}

// Stopping runs the callbacks registered on the token (a fetch aborting its transfer, a delay
// waking up) in the stopping thread; they may look at the gate without deadlocking it.
TEST(WorkerGate, StopCallbacksMayUseTheGate) {
  WorkerGate gate;
  bool looked = false;
  std::stop_callback callback(gate.StopToken(), [&] {
    gate.Pause();
    looked = !gate.Holding();
  });
  MustEnd("a stop whose callback uses the gate", [&] { gate.Stop(); });
  EXPECT_TRUE(looked);
  EXPECT_FALSE(gate.Checkpoint());
}

TEST(WorkerGate, StopEndsADelayUnderWayAtOnce) {
  WorkerGate gate;
  std::latch entering(1);
  std::atomic<bool> returned{false};
  std::jthread worker = StartThread([&] {
    entering.count_down();
    returned = PumpingDelay(1, 3, gate.StopToken());  // an hour
  });
  ASSERT_TRUE(worker.joinable());
  entering.wait();
  gate.Stop();
  MustEnd("a delay on a stopped gate", [&] { worker.join(); });
  EXPECT_TRUE(returned);
}

// A pause does not cut a delay short: the worker finishes it and holds at the safe point after.
TEST(WorkerGate, PauseLetsADelayRunToItsEnd) {
  WorkerGate gate;
  gate.Pause();
  std::atomic<bool> delayed{false};
  std::thread worker([&] {
    PumpingDelay(20, 0, gate.StopToken());
    delayed = true;
    gate.Checkpoint();
  });
  ASSERT_TRUE(EventuallyTrue([&] { return gate.Holding(); }));
  EXPECT_TRUE(delayed);
  gate.Continue();
  MustEnd("the continued worker", [&] { worker.join(); });
}

}  // namespace
}  // namespace ak
