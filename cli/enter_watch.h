#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace ak {

// Watches a file descriptor (standard input) while it lives and calls `onEnter` on a thread of
// its own for every line end read there. It stops watching at the end of the input or on a
// read error; it never closes the descriptor. A descriptor below 0 is not watched.
class EnterWatch {
 public:
  EnterWatch(int fd, std::function<void()> onEnter);
  ~EnterWatch();
  EnterWatch(const EnterWatch&) = delete;
  EnterWatch& operator=(const EnterWatch&) = delete;

 private:
  void Watch();

  int fd_;
  std::function<void()> onEnter_;
  std::atomic<bool> quit_{false};
  std::thread thread_;
};

}  // namespace ak
