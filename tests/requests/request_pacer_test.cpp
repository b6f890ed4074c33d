// The pacing between the requests of a listing or a batch.

#include "requests/request_pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stop_token>
#include <thread>

namespace ak {
namespace {

using namespace std::chrono_literals;

TEST(RequestPacer, IntervalTextsFromSettingsAndCommandLine) {
  EXPECT_EQ(IntervalMilliseconds("0"), 0);
  EXPECT_EQ(IntervalMilliseconds("1500"), 1500);
  EXPECT_EQ(IntervalMilliseconds(" 250ms"), 250);
  EXPECT_EQ(IntervalMilliseconds("-5"), 0);
  EXPECT_EQ(IntervalMilliseconds("abc"), 0);
  EXPECT_EQ(IntervalMilliseconds(""), 0);
  EXPECT_EQ(IntervalMilliseconds("99999999999999999999999"), kMaxIntervalMs);
}

TEST(RequestPacer, KeepsTheIntervalBacksOffAndStopsAWait) {
  RequestPacer none;
  EXPECT_TRUE(none.WaitTurn());
  EXPECT_TRUE(none.WaitTurn());

  RequestPacer pacer(120ms);
  EXPECT_TRUE(pacer.WaitTurn());  // the first request does not wait
  const auto first = std::chrono::steady_clock::now();
  EXPECT_TRUE(pacer.WaitTurn());
  const auto second = std::chrono::steady_clock::now();
  EXPECT_GE(second - first, 120ms);
  // After a refusal the next request waits the whole interval from the back-off.
  std::this_thread::sleep_for(150ms);
  pacer.BackOff();
  const auto backedOff = std::chrono::steady_clock::now();
  EXPECT_TRUE(pacer.WaitTurn());
  EXPECT_GE(std::chrono::steady_clock::now() - backedOff, 120ms);

  RequestPacer slow(std::chrono::milliseconds(std::chrono::hours(1)));
  EXPECT_TRUE(slow.WaitTurn());
  std::stop_source stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(20ms);
    stop.request_stop();
  });
  EXPECT_FALSE(slow.WaitTurn(stop.get_token()));
  stopper.join();
}

}  // namespace
}  // namespace ak
