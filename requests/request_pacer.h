#pragma once

#include <chrono>
#include <mutex>
#include <random>
#include <stop_token>
#include <string>
#include <string_view>

namespace ak {

// The least time between two requests, as a range: each wait is drawn from it anew (a fixed
// interval has both ends equal). {0, 0} never waits.
struct IntervalRange {
  std::chrono::milliseconds low{0};
  std::chrono::milliseconds high{0};

  IntervalRange() = default;
  // A fixed interval.
  IntervalRange(std::chrono::milliseconds fixed) : low(fixed), high(fixed) {}  // NOLINT
  IntervalRange(std::chrono::milliseconds from, std::chrono::milliseconds to)
      : low(from), high(to) {}
  bool operator==(const IntervalRange&) const = default;
};

// Keeps a minimum interval between the requests of one batch to the service. Every request
// waits its turn first; after the service refused the batch, the next request waits the whole
// interval again (BackOff), whenever the previous one was made. An interval of 0 never waits.
// Safe to use from several threads.
class RequestPacer {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RequestPacer(IntervalRange interval = {});

  // Waits until the interval since the last request has passed, then counts this request as
  // made now. False when `stop` was requested (during the wait or before it).
  bool WaitTurn(std::stop_token stop = {});
  // The same without the wait, for a caller that waits otherwise (driving transfers in flight
  // meanwhile): when the next request may go, and counting one as made now.
  Clock::time_point Due();
  void Take();
  // The next request waits the whole interval from now.
  void BackOff();
  // The rest of the work waits twice as long: both ends doubled, at least kSlowestStartMs and
  // at most kSlowestMs. Returns the new range.
  IntervalRange SlowDown();
  IntervalRange interval() const;

  static constexpr long long kSlowestStartMs = 500;
  static constexpr long long kSlowestMs = 60000;

 private:
  std::chrono::milliseconds DrawLocked();

  mutable std::mutex mutex_;
  IntervalRange interval_;
  std::mt19937 random_;
  bool any_ = false;
  Clock::time_point last_{};
  // The gap drawn for the request after the last one.
  std::chrono::milliseconds gap_{0};
};

// The interval a text of the settings (or the command line) asks for, in milliseconds: its
// leading decimal number, 0 for anything else or a negative number, at most kMaxIntervalMs.
inline constexpr long long kMaxIntervalMs = 3600000;
long long IntervalMilliseconds(std::string_view text);

// An interval text of the settings or the command line: "MS" or a range "LOW-HIGH" (blanks
// around the numbers allowed; the ends in either order). Anything else is as
// IntervalMilliseconds reads it, a fixed interval.
IntervalRange IntervalRangeOf(std::string_view text);
// True when `text` is one of those two forms exactly, each number at most kMaxIntervalMs.
bool IsIntervalText(std::string_view text);
// The text the settings keep: "MS", or "LOW-HIGH" for a range.
std::string IntervalText(IntervalRange interval);

}  // namespace ak
