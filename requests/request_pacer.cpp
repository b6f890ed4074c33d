#include "requests/request_pacer.h"

#include "base/delay.h"

namespace ak {

bool RequestPacer::WaitTurn(std::stop_token stop) {
  if (interval_.count() > 0) {
    Clock::time_point due;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      due = any_ ? last_ + interval_ : Clock::now();
    }
    // PumpingDelay ends early on a stop; a few short waits keep the due time exact.
    for (auto now = Clock::now(); now < due && !stop.stop_requested(); now = Clock::now()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now);
      PumpingDelay(left.count(), 0, stop);
    }
  }
  if (stop.stop_requested()) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  any_ = true;
  last_ = Clock::now();
  return true;
}

long long IntervalMilliseconds(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > kMaxIntervalMs) return kMaxIntervalMs;
  }
  return value;
}

void RequestPacer::BackOff() {
  std::lock_guard<std::mutex> lock(mutex_);
  any_ = true;
  last_ = Clock::now();
}

}  // namespace ak
