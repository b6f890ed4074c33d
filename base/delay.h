#pragma once

#include <chrono>
#include <functional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace ak {

// Milliseconds of a delay of `amount` units: unit 0 is milliseconds, 1 seconds, 2 minutes,
// 3 hours, any other value is itself the number of milliseconds per unit. A negative result
// counts as 0; a result beyond the clock's reach is cut to about thirty years.
long long DelayMilliseconds(long long amount, long long unit);

// Waits DelayMilliseconds(amount, unit) and returns true; returns early, still true, when `stop`
// is requested. On a thread that has an event pump (SetEventPump) the wait runs the pump
// instead of sleeping, so that thread's window stays alive.
bool PumpingDelay(long long amount = 0, long long unit = 0, std::stop_token stop = {});

// Runs pending events for at most the given time; the GUI installs one for its own thread.
using EventPump = std::function<void(std::chrono::milliseconds)>;
// Installs `pump` for `thread`, replacing any earlier one; an empty pump removes it.
void SetEventPump(std::thread::id thread, EventPump pump);

// How many workers started with StartThread are still running. The window uses it at close:
// while any runs, the process ends at once instead of waiting on the network.
int RunningWorkers();

namespace detail {
void WorkerStarted();
void WorkerEnded();
}  // namespace detail

// The one way workers start: `body` runs on a new thread at once and, when it takes a
// std::stop_token, receives the thread's token. Requesting stop on the returned thread asks the
// worker to end at its next safe point; destroying the thread requests stop and waits for it.
// A thread that cannot be started gives a thread that is not joinable.
template <typename Body>
std::jthread StartThread(Body&& body) {
  using Stored = std::decay_t<Body>;
  // Counted before the thread exists, so a worker that has just been started is never missed.
  detail::WorkerStarted();
  try {
    return std::jthread([work = Stored(std::forward<Body>(body))](std::stop_token stop) mutable {
      struct Ended {
        ~Ended() { detail::WorkerEnded(); }
      } ended;
      if constexpr (std::is_invocable_v<Stored&, std::stop_token>) {
        work(std::move(stop));
      } else {
        work();
      }
    });
  } catch (const std::system_error&) {
    detail::WorkerEnded();
    return {};
  }
}

}  // namespace ak
