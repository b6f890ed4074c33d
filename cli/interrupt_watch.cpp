#include "cli/interrupt_watch.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cassert>

namespace ak {
namespace {

// The write end of the running watcher's pipe; the handler may touch nothing else.
std::atomic<int> g_signalPipe{-1};
struct sigaction g_previous {};

constexpr char kSignalled = 's';
constexpr char kQuit = 'q';

extern "C" void OnSigint(int) {
  const int saved = errno;
  // Only the first Ctrl-C is ours; the next one ends the program as usual.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(SIGINT, &fallback, nullptr);
  const int fd = g_signalPipe.load();
  if (fd >= 0) {
    [[maybe_unused]] const ssize_t n = write(fd, &kSignalled, 1);
  }
  errno = saved;
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)) {
  [[maybe_unused]] const int made = ::pipe2(pipe_, O_CLOEXEC);
  assert(made == 0 && "no pipe for the interrupt watcher");
  [[maybe_unused]] const int previous = g_signalPipe.exchange(pipe_[1]);
  assert(previous < 0 && "one interrupt watcher at a time");
  thread_ = std::thread([this] { Watch(); });
  struct sigaction action {};
  action.sa_handler = &OnSigint;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &g_previous);
}

InterruptWatch::~InterruptWatch() {
  sigaction(SIGINT, &g_previous, nullptr);
  g_signalPipe.store(-1);
  while (::write(pipe_[1], &kQuit, 1) < 0 && errno == EINTR) {
  }
  thread_.join();
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void InterruptWatch::Watch() {
  while (true) {
    char byte = 0;
    const ssize_t n = ::read(pipe_[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == kQuit) return;
    if (!interrupted_.exchange(true) && onInterrupt_) onInterrupt_();
  }
}

}  // namespace ak
