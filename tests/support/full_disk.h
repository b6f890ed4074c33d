#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ak::testing {

// Runs `body` in a child process whose files may not grow beyond `limit` bytes, the way a full
// disk stops a write part-way; returns the child's exit status, which is what `body` returned
// (a bool gives 1 for true and 0 for false), or -1 when the child did not exit normally.
template <typename Body>
int WithFileSizeLimit(rlim_t limit, Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);  // writes past the limit fail with EFBIG instead
    const rlimit lim{limit, limit};
    setrlimit(RLIMIT_FSIZE, &lim);
    _exit(static_cast<int>(body()));
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ak::testing
