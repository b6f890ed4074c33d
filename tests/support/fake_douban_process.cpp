#include "tests/support/fake_douban_process.h"

#include <fcntl.h>
#include <json-c/json.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace ak::test {
namespace {

std::string StringMember(json_object* obj, const char* name) {
  json_object* value = nullptr;
  if (!json_object_object_get_ex(obj, name, &value)) return {};
  return std::string(json_object_get_string(value),
                     static_cast<size_t>(json_object_get_string_len(value)));
}

}  // namespace

std::string LoggedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return {};
}

bool LoggedRequest::HasHeader(const std::string& name) const {
  for (const auto& header : headers) {
    if (strcasecmp(header.first.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

std::vector<std::string> LoggedRequest::HeaderNames() const {
  std::vector<std::string> names;
  for (const auto& header : headers) names.push_back(header.first);
  return names;
}

bool ParseLoggedRequest(const std::string& line, LoggedRequest& out) {
  json_object* root = json_tokener_parse(line.c_str());
  if (root == nullptr) return false;
  json_object* headers = nullptr;
  const bool ok = json_object_get_type(root) == json_type_object &&
                  json_object_object_get_ex(root, "headers", &headers) &&
                  json_object_get_type(headers) == json_type_array;
  if (ok) {
    json_object* seq = nullptr;
    out.seq = json_object_object_get_ex(root, "seq", &seq) ? json_object_get_int64(seq) : 0;
    out.scheme = StringMember(root, "scheme");
    out.method = StringMember(root, "method");
    out.target = StringMember(root, "target");
    out.version = StringMember(root, "version");
    json_object* ms = nullptr;
    out.ms = json_object_object_get_ex(root, "ms", &ms) ? json_object_get_int64(ms) : 0;
    out.headers.clear();
    for (size_t i = 0; i < json_object_array_length(headers); ++i) {
      json_object* pair = json_object_array_get_idx(headers, i);
      if (json_object_array_length(pair) != 2) continue;
      out.headers.emplace_back(json_object_get_string(json_object_array_get_idx(pair, 0)),
                               json_object_get_string(json_object_array_get_idx(pair, 1)));
    }
  }
  json_object_put(root);
  return ok;
}

FakeDouban::FakeDouban(FakeDoubanOptions options) : options_(std::move(options)) {}

FakeDouban::~FakeDouban() {
  Stop();
  if (!tempDir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(tempDir_, ec);
  }
}

bool FakeDouban::Start() {
#ifndef AK_FAKE_DOUBAN_PATH
  error_ = "built without the fake_douban target";
  return false;
#else
  if (running()) return true;
  std::string pattern = (std::filesystem::temp_directory_path() / "ak_fake_douban.XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    error_ = "cannot make a temporary folder";
    return false;
  }
  tempDir_ = pattern;
  if (options_.requestLogFile.empty()) options_.requestLogFile = tempDir_ + "/requests.jsonl";
  if (options_.certDir.empty()) options_.certDir = tempDir_ + "/cert";

  std::vector<std::string> args = {AK_FAKE_DOUBAN_PATH, "--request-log", options_.requestLogFile,
                                   "--cert-dir", options_.certDir};
  if (!options_.fixtureFile.empty()) {
    args.push_back("--fixture");
    args.push_back(options_.fixtureFile);
  }
  args.insert(args.end(), options_.extraArgs.begin(), options_.extraArgs.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  // Our pipe ends are close-on-exec, so no other child keeps the double's input open.
  int inPipe[2], outPipe[2];
  if (::pipe2(inPipe, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return false;
  }
  if (::pipe2(outPipe, O_CLOEXEC) != 0) {
    ::close(inPipe[0]);
    ::close(inPipe[1]);
    error_ = "pipe failed";
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  stdinFd_ = inPipe[1];
  stdoutFd_ = outPipe[0];
  if (spawned != 0) {
    pid_ = -1;
    error_ = std::string("cannot start ") + AK_FAKE_DOUBAN_PATH;
    Stop();
    return false;
  }
  if (!ReadStartLines()) {
    Stop();
    return false;
  }
  return true;
#endif
}

bool FakeDouban::ReadStartLines() {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // Three lines: "web=P api=P", "ca=FILE", "connect-to=...".
  while (std::count(text.begin(), text.end(), '\n') < 3) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd fd{stdoutFd_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
      error_ = "the double did not announce its ports in time";
      return false;
    }
    char buffer[4096];
    const ssize_t n = ::read(stdoutFd_, buffer, sizeof buffer);
    if (n <= 0) {
      error_ = "the double ended before announcing its ports (see its standard error)";
      return false;
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line.starts_with("web=")) {
      std::sscanf(line.c_str(), "web=%d api=%d", &webPort_, &apiPort_);
    } else if (line.starts_with("ca=")) {
      caFile_ = line.substr(3);
    } else if (line.starts_with("connect-to=")) {
      connectTo_ = line.substr(11);
    }
  }
  if (webPort_ <= 0 || apiPort_ <= 0 || caFile_.empty() || connectTo_.empty()) {
    error_ = "unexpected start lines: " + text;
    return false;
  }
  return true;
}

int FakeDouban::WaitForExit(int timeoutMs) {
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  pid_t done = 0;
  while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (done == 0) return -1;
  pid_ = -1;
  return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int FakeDouban::CloseInputAndWait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  if (stdinFd_ >= 0) ::close(stdinFd_);
  stdinFd_ = -1;
  return WaitForExit(timeoutMs);
}

int FakeDouban::Stop() {
  int result = -1;
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    if (stdinFd_ >= 0) ::close(stdinFd_);
    stdinFd_ = -1;
    result = WaitForExit(10000);
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  if (stdinFd_ >= 0) ::close(stdinFd_);
  if (stdoutFd_ >= 0) ::close(stdoutFd_);
  stdinFd_ = stdoutFd_ = -1;
  return result;
}

void FakeDouban::ExportEnvironment() const {
  ::setenv("ALBUMKEEPER_CONNECT_TO", connectTo_.c_str(), 1);
  ::setenv("ALBUMKEEPER_CA_FILE", caFile_.c_str(), 1);
  ::setenv("ALBUMKEEPER_UPDATE_URL", UpdateUrl().c_str(), 1);
}

std::vector<LoggedRequest> FakeDouban::Requests() const {
  std::vector<LoggedRequest> requests;
  std::ifstream in(options_.requestLogFile);
  std::string line;
  while (std::getline(in, line)) {
    LoggedRequest request;
    if (ParseLoggedRequest(line, request)) requests.push_back(std::move(request));
  }
  return requests;
}

void FakeDouban::ClearRequests() const {
  // The double appends (O_APPEND), so it goes on writing at the new end.
  std::ofstream(options_.requestLogFile, std::ios::trunc);
}

}  // namespace ak::test
