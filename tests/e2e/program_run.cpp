#include "tests/e2e/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace ak::e2e {
namespace {

std::vector<std::string> ChildEnvironment(const EnvChanges& changes) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (!changes.contains(name)) env.push_back(text);
  }
  for (const auto& [name, value] : changes) {
    if (value) env.push_back(name + "=" + *value);
  }
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

const char* ProgramPath() { return AK_ALBUMKEEPER_PATH; }

ProgramRun::ProgramRun(const std::vector<std::string>& args, const EnvChanges& env, bool input) {
  std::vector<std::string> argTexts = {ProgramPath()};
  argTexts.insert(argTexts.end(), args.begin(), args.end());
  std::vector<std::string> envTexts = ChildEnvironment(env);
  std::vector<char*> argv = Pointers(argTexts);
  std::vector<char*> envp = Pointers(envTexts);

  int outPipe[2];
  int errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) return;
  if (::pipe2(errPipe, O_CLOEXEC) != 0) {
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return;
  }
  int inPipe[2] = {-1, -1};
  if (input && ::pipe2(inPipe, O_CLOEXEC) != 0) {
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[0]);
    ::close(errPipe[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input) {
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  // The program's own handling of Ctrl-C is under test: it starts with default signal
  // dispositions and nothing blocked, whatever this test program inherited.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigset_t defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  const int spawned =
      ::posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (input) ::close(inPipe[0]);
  inFd_ = inPipe[1];
  outFd_ = outPipe[0];
  errFd_ = errPipe[0];
  if (spawned != 0) {
    pid_ = -1;
    err_ = std::string("cannot start ") + argv[0] + ": " + std::strerror(spawned);
    ::close(outFd_);
    ::close(errFd_);
    outFd_ = errFd_ = -1;
    closed_ = true;
    return;
  }
  reader_ = std::thread([this] { ReadAll(); });
}

ProgramRun::~ProgramRun() {
  if (!result_) Wait(std::chrono::seconds(10));
  if (inFd_ >= 0) ::close(inFd_);
}

bool ProgramRun::WriteInput(const std::string& text) {
  std::size_t done = 0;
  while (inFd_ >= 0 && done < text.size()) {
    const ssize_t n = ::write(inFd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return inFd_ >= 0;
}

void ProgramRun::ReadAll() {
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[8192];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
        continue;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
      grew_.notify_all();
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  grew_.notify_all();
}

bool ProgramRun::WaitForOutput(
    const std::function<bool(const std::string&, const std::string&)>& condition,
    std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition(out_, err_)) {
    if (closed_ || grew_.wait_until(lock, deadline) == std::cv_status::timeout) {
      return condition(out_, err_);
    }
  }
  return true;
}

void ProgramRun::Signal(int signal) {
  if (pid_ > 0 && !result_) ::kill(pid_, signal);
}

ProgramResult ProgramRun::Wait(std::chrono::milliseconds limit) {
  if (result_) return *result_;
  ProgramResult result;
  if (pid_ > 0) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (done == 0) {
      result.timedOut = true;
      ::kill(pid_, SIGKILL);
      done = ::waitpid(pid_, &status, 0);
    }
    if (done > 0 && WIFEXITED(status) && !result.timedOut) result.exitStatus = WEXITSTATUS(status);
    if (done > 0 && WIFSIGNALED(status)) result.termSignal = WTERMSIG(status);
  }
  if (reader_.joinable()) reader_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    result.out = out_;
    result.err = err_;
  }
  result_ = result;
  return result;
}

ProgramResult RunProgram(const std::vector<std::string>& args, const EnvChanges& env,
                         std::chrono::milliseconds limit) {
  ProgramRun run(args, env);
  return run.Wait(limit);
}

}  // namespace ak::e2e
