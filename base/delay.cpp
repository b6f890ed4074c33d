#include "base/delay.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace ak {
namespace {

constexpr long long kLongestDelayMs = 1'000'000'000'000LL;  // about thirty years
constexpr std::chrono::milliseconds kPumpSlice{10};

struct PumpSlot {
  std::mutex mutex;
  std::thread::id thread;
  EventPump pump;
};

PumpSlot& Slot() {
  static PumpSlot slot;
  return slot;
}

std::atomic<int> runningWorkers{0};

EventPump PumpFor(std::thread::id thread) {
  PumpSlot& slot = Slot();
  std::lock_guard lock(slot.mutex);
  return slot.thread == thread ? slot.pump : EventPump();
}

}  // namespace

int RunningWorkers() { return runningWorkers.load(); }

namespace detail {
void WorkerStarted() { runningWorkers.fetch_add(1); }
void WorkerEnded() { runningWorkers.fetch_sub(1); }
}  // namespace detail

long long DelayMilliseconds(long long amount, long long unit) {
  long long factor = unit;
  switch (unit) {
    case 0:
      factor = 1;
      break;
    case 1:
      factor = 1000;
      break;
    case 2:
      factor = 60'000;
      break;
    case 3:
      factor = 3'600'000;
      break;
    default:
      break;
  }
  long long ms = 0;
  if (__builtin_mul_overflow(amount, factor, &ms))
    return (amount < 0) != (factor < 0) ? 0 : kLongestDelayMs;
  if (ms < 0) return 0;
  return ms < kLongestDelayMs ? ms : kLongestDelayMs;
}

void SetEventPump(std::thread::id thread, EventPump pump) {
  PumpSlot& slot = Slot();
  std::lock_guard lock(slot.mutex);
  slot.thread = pump ? thread : std::thread::id();
  slot.pump = std::move(pump);
}

bool PumpingDelay(long long amount, long long unit, std::stop_token stop) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(DelayMilliseconds(amount, unit));
  if (EventPump pump = PumpFor(std::this_thread::get_id())) {
    for (auto now = Clock::now(); now < deadline && !stop.stop_requested(); now = Clock::now()) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
      pump(left < kPumpSlice ? left : kPumpSlice);
    }
    return true;
  }
  std::mutex mutex;
  std::condition_variable_any wake;
  std::unique_lock lock(mutex);
  wake.wait_until(lock, stop, deadline, [] { return false; });
  return true;
}

}  // namespace ak
