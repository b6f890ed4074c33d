#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace ak {

// The stop and pause gate of one worker. Any thread may ask for pause, continue and stop; the
// worker honours them at its safe points (between requests, before any file write) by calling
// Checkpoint(). Stop wins over pause: it releases a paused worker at once, and a stopped gate
// cannot be paused or continued again.
//
// What stop and pause do to a worker that is not at a safe point:
// - A fetch or a delay given StopToken() ends at once on Stop() (libcurl's transfer is
//   aborted); the worker then reaches its next safe point, where Checkpoint() says to end.
// - Pause() never breaks a transfer in flight or a delay under way: they run to their end and
//   the worker holds at its next Checkpoint(), until Continue() or Stop().
class WorkerGate {
 public:
  WorkerGate() = default;
  WorkerGate(const WorkerGate&) = delete;
  WorkerGate& operator=(const WorkerGate&) = delete;

  void Pause();
  void Continue();
  void Stop();

  bool Paused() const;
  // True while a worker holds in Checkpoint() because of a pause (a view may say "paused" only
  // once the worker has actually stopped working).
  bool Holding() const;
  bool Stopped() const { return stop_.stop_requested(); }
  // Set once Stop() has been called: fetches and delays given it end at once.
  std::stop_token StopToken() const { return stop_.get_token(); }

  // A safe point. Returns true at once when the worker may go on; while paused, holds until
  // Continue() or Stop(). Returns false when the worker must end (stop requested).
  bool Checkpoint();

 private:
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::stop_source stop_;
  // Both under mutex_. stopped_ is set only after stop_ has been requested, so a worker that
  // Checkpoint() releases because of it always finds the token set too.
  bool paused_ = false;
  bool stopped_ = false;
  int holding_ = 0;
};

}  // namespace ak
