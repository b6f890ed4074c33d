#pragma once

#include <chrono>
#include <mutex>
#include <stop_token>
#include <string_view>

namespace ak {

// Keeps a minimum interval between the requests of one batch to the service. Every request
// waits its turn first; after the service refused the batch, the next request waits the whole
// interval again (BackOff), whenever the previous one was made. An interval of 0 never waits.
class RequestPacer {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RequestPacer(std::chrono::milliseconds interval = {}) : interval_(interval) {}

  // Waits until the interval since the last request has passed, then counts this request as
  // made now. False when `stop` was requested (during the wait or before it).
  bool WaitTurn(std::stop_token stop = {});
  // The next request waits the whole interval from now.
  void BackOff();
  std::chrono::milliseconds interval() const { return interval_; }

 private:
  const std::chrono::milliseconds interval_;
  std::mutex mutex_;
  bool any_ = false;
  Clock::time_point last_{};
};

// The interval a text of the settings (or the command line) asks for, in milliseconds: its
// leading decimal number, 0 for anything else or a negative number, at most kMaxIntervalMs.
inline constexpr long long kMaxIntervalMs = 3600000;
long long IntervalMilliseconds(std::string_view text);

}  // namespace ak
