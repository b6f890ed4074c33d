#include "cli/enter_watch.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

namespace ak {
namespace {

// How often the watcher looks whether it must quit while no input comes.
constexpr int kPollMs = 100;

}  // namespace

EnterWatch::EnterWatch(int fd, std::function<void()> onEnter)
    : fd_(fd), onEnter_(std::move(onEnter)) {
  if (fd_ >= 0) thread_ = std::thread([this] { Watch(); });
}

EnterWatch::~EnterWatch() {
  quit_ = true;
  if (thread_.joinable()) thread_.join();
}

void EnterWatch::Watch() {
  char buffer[256];
  while (!quit_) {
    pollfd watched{fd_, POLLIN, 0};
    const int ready = ::poll(&watched, 1, kPollMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return;
    if (ready == 0) continue;
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] == '\n' && onEnter_) onEnter_();
    }
  }
}

}  // namespace ak
