#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "base/worker_gate.h"

namespace ak {

// Runs at most one worker at a time (one listing, one batch, one version check), each with its
// own gate. Start() while a worker runs starts nothing. The destructor stops the running worker
// and waits for it.
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
  // True from a successful Start() until the body has returned.
  bool Running() const;
  // Act on the running worker's gate; nothing happens when none runs.
  void Pause();
  void Continue();
  void Stop();
  // Waits until no worker runs (its thread has ended), from any number of threads at once.
  // Never call it, nor destroy the slot, from the worker itself.
  void Wait();

 private:
  // Held while a thread is joined, so a second Wait() returns only after the first one's join.
  std::mutex join_mutex_;
  mutable std::mutex mutex_;
  std::shared_ptr<WorkerGate> gate_;
  std::shared_ptr<std::atomic<bool>> running_;
  std::jthread thread_;
};

}  // namespace ak
