#include "app/demo_double.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace ak {
namespace {

// Reads one line from `fd` within the time left; false on end of file, error or time-out.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline) {
  line.clear();
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char c = 0;
    const ssize_t n = ::read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    if (c == '\n') return true;
    line += c;
  }
}

bool TakeValue(const std::string& line, const std::string& key, std::string& value) {
  if (!line.starts_with(key)) return false;
  value = line.substr(key.size());
  return !value.empty();
}

std::filesystem::path DemoHome() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data != '\0') return std::filesystem::path(data) / "albumkeeper-demo";
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".local" / "share" / "albumkeeper-demo";
  }
  return std::filesystem::temp_directory_path() / "albumkeeper-demo";
}

}  // namespace

DemoDouble::~DemoDouble() {
  if (input_ >= 0) ::close(input_);
  if (pid_ <= 0) return;
  // Closing its input ends the double; a double that does not go is ended.
  for (int waited = 0; waited < 50; ++waited) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

bool DemoDouble::Start(const std::filesystem::path& program, std::string& error) {
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
  std::string path = program.string();
  char* argv[] = {path.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  const int spawned = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  if (spawned != 0) {
    pid_ = -1;
    ::close(out[0]);
    error = "cannot start the test double " + path;
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::string line;
  const bool ok = ReadLine(out[0], ports_, deadline) && ports_.starts_with("web=") &&
                  ReadLine(out[0], line, deadline) && TakeValue(line, "ca=", caFile_) &&
                  ReadLine(out[0], line, deadline) && TakeValue(line, "connect-to=", connectTo_);
  ::close(out[0]);
  if (!ok) error = "the test double " + path + " did not report its ports";
  return ok;
}

void DemoDouble::ExportEnvironment() const {
  ::setenv("ALBUMKEEPER_CA_FILE", caFile_.c_str(), 1);
  ::setenv("ALBUMKEEPER_CONNECT_TO", connectTo_.c_str(), 1);
  const char* home = std::getenv("ALBUMKEEPER_HOME");
  if (home == nullptr || *home == '\0') ::setenv("ALBUMKEEPER_HOME", DemoHome().c_str(), 1);
  std::error_code ignored;
  std::filesystem::create_directories(std::getenv("ALBUMKEEPER_HOME"), ignored);
}

std::filesystem::path FindDemoDouble() {
  const char* named = std::getenv("ALBUMKEEPER_DEMO_DOUBLE");
  if (named != nullptr && *named != '\0') return named;
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const std::filesystem::path dir = self.parent_path();
  for (const std::filesystem::path& candidate :
       {dir / "fake_douban", dir.parent_path() / "tools" / "fake_douban"}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace ak
