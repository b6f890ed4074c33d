#include "base/worker_slot.h"

#include <atomic>
#include <utility>

#include "base/delay.h"

namespace ak {

WorkerSlot::~WorkerSlot() {
  {
    std::lock_guard lock(mutex_);
    chained_.reset();
  }
  Stop();
  Wait();
}

void WorkerSlot::RunWorker(Body body, std::shared_ptr<WorkerGate> gate,
                           std::shared_ptr<std::atomic<bool>> running) {
  body(*gate);
  for (;;) {
    Chained next;
    {
      std::lock_guard lock(mutex_);
      if (!chained_) {
        // Under the lock: a start that finds the worker still running may chain to it only
        // while this loop will still see what it chained.
        running->store(false);
        return;
      }
      next = std::move(*chained_);
      chained_.reset();
      gate_ = next.gate;
    }
    // A worker ended before it began never begins.
    if (!next.gate->Stopped()) next.body(*next.gate);
  }
}

bool WorkerSlot::Start(Body body) {
  std::lock_guard lock(mutex_);
  if (running_ != nullptr && running_->load()) return false;
  // The previous worker has returned; its thread only has to be joined.
  if (thread_.joinable()) thread_.join();
  auto gate = std::make_shared<WorkerGate>();
  auto running = std::make_shared<std::atomic<bool>>(true);
  std::jthread thread = StartThread([this, body = std::move(body), gate, running]() mutable {
    RunWorker(std::move(body), std::move(gate), std::move(running));
  });
  if (!thread.joinable()) return false;
  gate_ = std::move(gate);
  running_ = std::move(running);
  thread_ = std::move(thread);
  return true;
}

bool WorkerSlot::StartAfterEnded(Body body) {
  {
    std::lock_guard lock(mutex_);
    if (running_ != nullptr && running_->load()) {
      // The worker the commands act on must have been stopped: the running one, or one chained
      // to it and ended before it began (which the new one replaces).
      const WorkerGate* current = CommandGate();
      if (current == nullptr || !current->Stopped()) return false;
      chained_ = Chained{std::move(body), std::make_shared<WorkerGate>()};
      return true;
    }
  }
  return Start(std::move(body));
}

bool WorkerSlot::Running() const {
  std::lock_guard lock(mutex_);
  return running_ != nullptr && running_->load();
}

bool WorkerSlot::Leaving() const {
  std::lock_guard lock(mutex_);
  const WorkerGate* current = CommandGate();
  return running_ != nullptr && running_->load() && current != nullptr && current->Stopped();
}

WorkerGate* WorkerSlot::CommandGate() const {
  if (chained_) return chained_->gate.get();
  return gate_.get();
}

void WorkerSlot::Pause() {
  std::lock_guard lock(mutex_);
  if (WorkerGate* gate = CommandGate()) gate->Pause();
}

void WorkerSlot::Continue() {
  std::lock_guard lock(mutex_);
  if (WorkerGate* gate = CommandGate()) gate->Continue();
}

void WorkerSlot::Stop() {
  std::lock_guard lock(mutex_);
  // Both: the chained worker never begins, and the one before it ends.
  if (chained_) chained_->gate->Stop();
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
