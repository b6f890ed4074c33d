#include "base/worker_gate.h"

namespace ak {

void WorkerGate::Pause() {
  std::lock_guard lock(mutex_);
  if (!stopped_) paused_ = true;
}

void WorkerGate::Continue() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

void WorkerGate::Stop() {
  // The token first and outside the lock: requesting it runs the callbacks of whoever waits on
  // it (a fetch's transfer, a delay), which must not run under this gate's lock.
  stop_.request_stop();
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    paused_ = false;
  }
  wake_.notify_all();
}

bool WorkerGate::Paused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

bool WorkerGate::Holding() const {
  std::lock_guard lock(mutex_);
  return holding_ > 0;
}

bool WorkerGate::Checkpoint() {
  std::unique_lock lock(mutex_);
  if (paused_ && !stopped_) {
    ++holding_;
    wake_.wait(lock, [this] { return !paused_ || stopped_; });
    --holding_;
  }
  return !stop_.stop_requested();
}

}  // namespace ak
