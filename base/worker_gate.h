#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace ak {

// The stop and pause gate of one worker. Any thread may ask for pause, continue and stop; the
// worker honours them at its safe points (between requests, before any file write) by calling
// Checkpoint(). Stop wins over pause: it releases a paused worker at once, and a stopped gate
// cannot be paused or continued again.
class WorkerGate {
 public:
  WorkerGate() = default;
  WorkerGate(const WorkerGate&) = delete;
  WorkerGate& operator=(const WorkerGate&) = delete;

  void Pause();
  void Continue();
  void Stop();

  bool Paused() const;
  bool Stopped() const { return stop_.stop_requested(); }
  // Set once Stop() has been called: fetches and delays given it end at once.
  std::stop_token StopToken() const { return stop_.get_token(); }

  // A safe point. Returns true at once when the worker may go on; while paused, holds until
  // Continue() or Stop(). Returns false when the worker must end (stop requested).
  bool Checkpoint();

 private:
  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  std::stop_source stop_;
  bool paused_ = false;
};

}  // namespace ak
