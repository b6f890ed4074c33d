#include "base/worker_slot.h"

#include <atomic>
#include <utility>

#include "base/delay.h"

namespace ak {

WorkerSlot::~WorkerSlot() {
  Stop();
  Wait();
}

bool WorkerSlot::Start(Body body) {
  std::lock_guard lock(mutex_);
  if (running_ != nullptr && running_->load()) return false;
  // The previous worker has returned; its thread only has to be joined.
  if (thread_.joinable()) thread_.join();
  auto gate = std::make_shared<WorkerGate>();
  auto running = std::make_shared<std::atomic<bool>>(true);
  std::jthread thread = StartThread([body = std::move(body), gate, running] {
    body(*gate);
    running->store(false);
  });
  if (!thread.joinable()) return false;
  gate_ = std::move(gate);
  running_ = std::move(running);
  thread_ = std::move(thread);
  return true;
}

bool WorkerSlot::Running() const {
  std::lock_guard lock(mutex_);
  return running_ != nullptr && running_->load();
}

void WorkerSlot::Pause() {
  std::lock_guard lock(mutex_);
  if (gate_ != nullptr) gate_->Pause();
}

void WorkerSlot::Continue() {
  std::lock_guard lock(mutex_);
  if (gate_ != nullptr) gate_->Continue();
}

void WorkerSlot::Stop() {
  std::lock_guard lock(mutex_);
  if (gate_ != nullptr) gate_->Stop();
}

void WorkerSlot::Wait() {
  std::lock_guard join(join_mutex_);
  std::jthread finished;
  {
    std::lock_guard lock(mutex_);
    finished = std::move(thread_);
  }
  if (finished.joinable()) finished.join();
}

}  // namespace ak
