// The time-outs a picture fetch applies for each value of its time-out argument.
#include <gtest/gtest.h>

#include <climits>

#include "net/winhttp_fetch.h"

namespace ak {
namespace {

using std::chrono::milliseconds;

TEST(WinHttpTimeoutsTest, OneValueForEveryPhase) {
  struct Case {
    int seconds;
    milliseconds connect;
    milliseconds idle;
  } cases[] = {
      {30, milliseconds(30000), milliseconds(30000)},
      {1, milliseconds(1000), milliseconds(1000)},
      // Absent (0) and negative values other than -1 mean 15 seconds.
      {0, milliseconds(15000), milliseconds(15000)},
      {-2, milliseconds(15000), milliseconds(15000)},
      {INT_MIN, milliseconds(15000), milliseconds(15000)},
      // -1 sets none: a fresh request's own limits stay.
      {-1, milliseconds(60000), milliseconds(30000)},
      // The largest value does not wrap round.
      {INT_MAX, milliseconds(INT_MAX * 1000LL), milliseconds(INT_MAX * 1000LL)},
  };
  for (const Case& c : cases) {
    const FetchTimeouts timeouts = WinHttpTimeouts(c.seconds);
    EXPECT_EQ(timeouts.connect, c.connect) << c.seconds;
    EXPECT_EQ(timeouts.idle, c.idle) << c.seconds;
  }
}

}  // namespace
}  // namespace ak
