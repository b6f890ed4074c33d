#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "base/worker_gate.h"

namespace ak {

// Runs at most one worker at a time (one listing, one batch, one version check), each with its
// own gate. Start() while a worker runs starts nothing; StartAfterEnded() lets a new worker
// follow one that was stopped and is still on its way out, without the caller waiting for it.
// The destructor stops the running worker and waits for it.
class WorkerSlot {
 public:
  using Body = std::function<void(WorkerGate& gate)>;

  WorkerSlot() = default;
  WorkerSlot(const WorkerSlot&) = delete;
  WorkerSlot& operator=(const WorkerSlot&) = delete;
  ~WorkerSlot();

  // Starts `body` on a new thread (through StartThread) when no worker runs. False when one
  // runs, or when no thread could be started; nothing is started then.
  bool Start(Body body);
  // As Start() when no worker runs. When the running worker was stopped (it is leaving),
  // `body` runs once right after it returns, on the same thread, and this returns at once.
  // From then on the slot's commands act on the new worker, which may be paused or stopped
  // before it begins (stopped, it never begins). False when the running worker was not
  // stopped, or when another start already waits for it and was not stopped.
  bool StartAfterEnded(Body body);
  // True from a successful start until the body (and any body chained to it) has returned.
  bool Running() const;
  // True while a worker runs that was stopped and nothing waits to follow it: what
  // StartAfterEnded() can chain to.
  bool Leaving() const;
  // Act on the running worker's gate (the chained one's, when one waits); nothing happens when
  // none runs.
  void Pause();
  void Continue();
  void Stop();
  // Waits until no worker runs (its thread has ended), from any number of threads at once.
  // Never call it, nor destroy the slot, from the worker itself.
  void Wait();

 private:
  struct Chained {
    Body body;
    std::shared_ptr<WorkerGate> gate;
  };
  // The worker thread: `body`, then each chained body in turn.
  void RunWorker(Body body, std::shared_ptr<WorkerGate> gate,
                 std::shared_ptr<std::atomic<bool>> running);
  // The gate the commands act on. Under mutex_.
  WorkerGate* CommandGate() const;

  // Held while a thread is joined, so a second Wait() returns only after the first one's join.
  std::mutex join_mutex_;
  mutable std::mutex mutex_;
  std::shared_ptr<WorkerGate> gate_;
  std::optional<Chained> chained_;
  std::shared_ptr<std::atomic<bool>> running_;
  std::jthread thread_;
};

}  // namespace ak
