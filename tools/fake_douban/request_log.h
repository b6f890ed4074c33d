#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace ak::fake {

// One request as it arrived on the wire, headers in the order and spelling the client sent.
struct RequestHead {
  long seq = 0;        // 1, 2, 3 ... over both ports, in the order the heads arrived
  std::string scheme;  // "http" or "https": which port it came in on
  std::string method;
  std::string target;   // path with query, as sent
  std::string version;  // "HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> headers;
  long long ms = 0;  // milliseconds since the double started, when the head arrived
};

// Writes one JSON line per request:
//   {"seq":1,"scheme":"http","method":"GET","target":"/people/x","version":"HTTP/1.1",
//    "headers":[["Host","www.douban.com"],["Accept","*/*"]],"ms":12}
// The file is opened for appending, so a test may truncate it between steps.
class RequestLog {
 public:
  RequestLog() = default;
  ~RequestLog();
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  bool Open(const std::string& path);
  // Gives the head its sequence number and writes it (when a file is open).
  void Record(RequestHead& head);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  long next_ = 1;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string RequestHeadToJson(const RequestHead& head);

}  // namespace ak::fake
