#include "base/worker_gate.h"

namespace ak {

void WorkerGate::Pause() {
  std::lock_guard lock(mutex_);
  if (!stop_.stop_requested()) paused_ = true;
}

void WorkerGate::Continue() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

void WorkerGate::Stop() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
    stop_.request_stop();
  }
  wake_.notify_all();
}

bool WorkerGate::Paused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

bool WorkerGate::Checkpoint() {
  std::unique_lock lock(mutex_);
  // The stop token wakes the wait as well, so a stop never waits for a notify.
  wake_.wait(lock, stop_.get_token(), [this] { return !paused_; });
  return !stop_.stop_requested();
}

}  // namespace ak
