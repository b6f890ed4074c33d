#include "requests/request_pacer.h"

#include <algorithm>
#include <optional>

#include "base/delay.h"

namespace ak {
namespace {

using std::chrono::milliseconds;

// A decimal number of at most kMaxIntervalMs between blanks, and where it ends.
std::optional<long long> NumberAt(std::string_view text, std::size_t& at) {
  while (at < text.size() && text[at] == ' ') ++at;
  const std::size_t first = at;
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > kMaxIntervalMs) return std::nullopt;
  }
  if (at == first) return std::nullopt;
  while (at < text.size() && text[at] == ' ') ++at;
  return value;
}

std::optional<IntervalRange> ParsedRange(std::string_view text) {
  std::size_t at = 0;
  const std::optional<long long> low = NumberAt(text, at);
  if (!low) return std::nullopt;
  if (at == text.size()) return IntervalRange(milliseconds(*low));
  if (text[at] != '-') return std::nullopt;
  ++at;
  const std::optional<long long> high = NumberAt(text, at);
  if (!high || at != text.size()) return std::nullopt;
  return IntervalRange(milliseconds(std::min(*low, *high)), milliseconds(std::max(*low, *high)));
}

}  // namespace

RequestPacer::RequestPacer(IntervalRange interval)
    : interval_(interval), random_(std::random_device{}()) {
  gap_ = DrawLocked();
}

milliseconds RequestPacer::DrawLocked() {
  if (interval_.high <= interval_.low) return interval_.low;
  std::uniform_int_distribution<milliseconds::rep> draw(interval_.low.count(),
                                                        interval_.high.count());
  return milliseconds(draw(random_));
}

RequestPacer::Clock::time_point RequestPacer::Due() {
  std::lock_guard<std::mutex> lock(mutex_);
  return any_ ? last_ + gap_ : Clock::now();
}

void RequestPacer::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  any_ = true;
  last_ = Clock::now();
  gap_ = DrawLocked();
}

bool RequestPacer::WaitTurn(std::stop_token stop) {
  const Clock::time_point due = Due();
  // PumpingDelay ends early on a stop; a few short waits keep the due time exact.
  for (auto now = Clock::now(); now < due && !stop.stop_requested(); now = Clock::now()) {
    const auto left = std::chrono::ceil<milliseconds>(due - now);
    PumpingDelay(left.count(), 0, stop);
  }
  if (stop.stop_requested()) return false;
  Take();
  return true;
}

void RequestPacer::BackOff() { Take(); }

IntervalRange RequestPacer::SlowDown() {
  std::lock_guard<std::mutex> lock(mutex_);
  auto doubled = [](milliseconds value) {
    return milliseconds(std::clamp<long long>(value.count() * 2, kSlowestStartMs, kSlowestMs));
  };
  interval_ = IntervalRange(doubled(interval_.low), doubled(interval_.high));
  gap_ = DrawLocked();
  return interval_;
}

IntervalRange RequestPacer::interval() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return interval_;
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

IntervalRange IntervalRangeOf(std::string_view text) {
  if (const std::optional<IntervalRange> range = ParsedRange(text)) return *range;
  return IntervalRange(milliseconds(IntervalMilliseconds(text)));
}

bool IsIntervalText(std::string_view text) { return ParsedRange(text).has_value(); }

std::string IntervalText(IntervalRange interval) {
  std::string text = std::to_string(interval.low.count());
  if (interval.high > interval.low) text += "-" + std::to_string(interval.high.count());
  return text;
}

}  // namespace ak
