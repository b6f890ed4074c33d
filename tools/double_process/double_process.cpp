#include "tools/double_process/double_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

extern char** environ;

namespace ak {

bool ParseDoubleAnnouncement(const std::string& text, DoubleAnnouncement& out) {
  DoubleAnnouncement parsed;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line.starts_with("web=")) {
      parsed.ports = line;
      if (std::sscanf(line.c_str(), "web=%d api=%d", &parsed.webPort, &parsed.apiPort) != 2) {
        return false;
      }
    } else if (line.starts_with("ca=")) {
      parsed.caFile = line.substr(3);
    } else if (line.starts_with("connect-to=")) {
      parsed.connectTo = line.substr(11);
    }
  }
  if (parsed.webPort <= 0 || parsed.apiPort <= 0 || parsed.caFile.empty() ||
      parsed.connectTo.empty()) {
    return false;
  }
  out = std::move(parsed);
  return true;
}

DoubleProcess::~DoubleProcess() { Stop(); }

bool DoubleProcess::Start(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                          std::string& error) {
  if (running()) return true;
  if (argv.empty()) {
    error = "no test double named";
    return false;
  }
  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  // Our pipe ends are close-on-exec, so no other child keeps the double's input open.
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) {
    error = "no pipe for the test double";
    return false;
  }
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    error = "no pipe for the test double";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  const int spawned =
      ::posix_spawn(&pid_, pointers[0], &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  output_ = out[0];
  if (spawned != 0) {
    pid_ = -1;
    Stop();
    error = "cannot start the test double " + argv[0] + ": " + std::strerror(spawned);
    return false;
  }
  if (!ReadStartLines(limit, error)) {
    Stop();
    error = "the test double " + argv[0] + " " + error;
    return false;
  }
  // The double writes nothing more on its standard output.
  ::close(output_);
  output_ = -1;
  return true;
}

bool DoubleProcess::ReadStartLines(std::chrono::milliseconds limit, std::string& error) {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::count(text.begin(), text.end(), '\n') < 3) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      error = "did not announce its ports in time";
      return false;
    }
    pollfd p{output_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      error = "did not announce its ports in time";
      return false;
    }
    char buffer[4096];
    const ssize_t n = ::read(output_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = "ended before announcing its ports (see its standard error)";
      return false;
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  if (!ParseDoubleAnnouncement(text, announcement_)) {
    error = "announced something else: " + text;
    return false;
  }
  return true;
}

int DoubleProcess::WaitForExit(std::chrono::milliseconds limit) {
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  pid_t done = 0;
  while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (done == 0) return -1;
  pid_ = -1;
  return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int DoubleProcess::CloseInputAndWait(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  if (input_ >= 0) ::close(input_);
  input_ = -1;
  return WaitForExit(limit);
}

int DoubleProcess::Stop(std::chrono::milliseconds grace) {
  int result = -1;
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    if (input_ >= 0) ::close(input_);
    input_ = -1;
    result = WaitForExit(grace);
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  if (input_ >= 0) ::close(input_);
  if (output_ >= 0) ::close(output_);
  input_ = output_ = -1;
  return result;
}

}  // namespace ak
