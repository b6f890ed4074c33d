#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace ak {

// Catches Ctrl-C (SIGINT) while it lives. The first one calls `onInterrupt` on a thread of the
// watcher (never inside the signal handler) and puts back the default action, so a second Ctrl-C
// ends the program at once. The previous action is restored when the watcher goes away. One
// watcher at a time.
class InterruptWatch {
 public:
  explicit InterruptWatch(std::function<void()> onInterrupt);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  bool Interrupted() const { return interrupted_.load(); }

 private:
  void Watch();

  std::function<void()> onInterrupt_;
  std::atomic<bool> interrupted_{false};
  int pipe_[2] = {-1, -1};
  std::thread thread_;
};

}  // namespace ak
