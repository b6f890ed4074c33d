#include "tests/support/fake_douban_process.h"

#include <json-c/json.h>
#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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
  return process_.Start(args, std::chrono::seconds(20), error_);
#endif
}

int FakeDouban::Stop() { return process_.Stop(std::chrono::seconds(10)); }

int FakeDouban::CloseInputAndWait(int timeoutMs) {
  return process_.CloseInputAndWait(std::chrono::milliseconds(timeoutMs));
}

void FakeDouban::ExportEnvironment() const {
  ::setenv("ALBUMKEEPER_CONNECT_TO", connectTo().c_str(), 1);
  ::setenv("ALBUMKEEPER_CA_FILE", caFile().c_str(), 1);
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
