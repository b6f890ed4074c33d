#include "tools/fake_douban/request_log.h"

#include <json-c/json.h>

namespace ak::fake {

RequestLog::~RequestLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool RequestLog::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "a");
  return file_ != nullptr;
}

void RequestLog::Record(RequestHead& head) {
  std::lock_guard<std::mutex> lock(mutex_);
  head.seq = next_++;
  head.ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start_)
                .count();
  if (file_ == nullptr) return;
  const std::string line = RequestHeadToJson(head) + "\n";
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

std::string RequestHeadToJson(const RequestHead& head) {
  json_object* root = json_object_new_object();
  json_object_object_add(root, "seq", json_object_new_int64(head.seq));
  json_object_object_add(root, "scheme", json_object_new_string(head.scheme.c_str()));
  json_object_object_add(
      root, "method",
      json_object_new_string_len(head.method.data(), static_cast<int>(head.method.size())));
  json_object_object_add(
      root, "target",
      json_object_new_string_len(head.target.data(), static_cast<int>(head.target.size())));
  json_object_object_add(root, "version", json_object_new_string(head.version.c_str()));
  json_object* headers = json_object_new_array();
  for (const auto& [name, value] : head.headers) {
    json_object* pair = json_object_new_array();
    json_object_array_add(pair,
                          json_object_new_string_len(name.data(), static_cast<int>(name.size())));
    json_object_array_add(pair,
                          json_object_new_string_len(value.data(), static_cast<int>(value.size())));
    json_object_array_add(headers, pair);
  }
  json_object_object_add(root, "headers", headers);
  json_object_object_add(root, "ms", json_object_new_int64(head.ms));
  std::string text =
      json_object_to_json_string_ext(root, JSON_C_TO_STRING_PLAIN | JSON_C_TO_STRING_NOSLASHESCAPE);
  json_object_put(root);
  return text;
}

}  // namespace ak::fake
