#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/double_process/double_process.h"

namespace ak::test {

// Options for starting the service test double (tools/fake_douban).
struct FakeDoubanOptions {
  std::string fixtureFile{};             // empty: the double's built-in fixture
  std::vector<std::string> extraArgs{};  // faults and other options, e.g. {"--block-after", "3"}
  std::string requestLogFile{};          // empty: a file in the helper's own temporary folder
  std::string certDir{};                 // empty: a folder in the helper's own temporary folder
};

// One request as the double received it; headers in the order the client sent them.
struct LoggedRequest {
  long seq = 0;
  std::string scheme;  // "http" or "https"
  std::string method;
  std::string target;  // path with query
  std::string version;
  std::vector<std::pair<std::string, std::string>> headers;
  // When the double received it: milliseconds since the double started.
  long long ms = 0;

  // Value of the first header of that name (letter case ignored); empty when absent.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
  // Header names in the order sent.
  std::vector<std::string> HeaderNames() const;
};

// Runs the test double as a child process for the lifetime of the object:
//
//   ak::test::FakeDouban douban({.extraArgs = {"--empty-first", "2"}});
//   ASSERT_TRUE(douban.Start()) << douban.error();
//   douban.ExportEnvironment();            // ALBUMKEEPER_CONNECT_TO, _CA_FILE, _UPDATE_URL
//   ... run the code under test against http://www.douban.com/ ...
//   auto requests = douban.Requests();     // what the code sent
//
// The double's standard input is a pipe held by this process, so it also stops when a test
// crashes. The destructor stops it (SIGTERM, then waits) and removes the temporary folder.
class FakeDouban {
 public:
  explicit FakeDouban(FakeDoubanOptions options = {});
  ~FakeDouban();
  FakeDouban(const FakeDouban&) = delete;
  FakeDouban& operator=(const FakeDouban&) = delete;

  // Starts the double and waits (up to 20 s) for its ports. False, with error(), on failure.
  bool Start();
  // Stops it: SIGTERM, standard input closed, wait up to 10 s, then SIGKILL. Returns the exit
  // status (0 after a clean stop), -1 when it was not running or did not stop by itself.
  int Stop();
  // Closes the double's standard input, as a crashed test would, and waits up to `timeoutMs` for
  // it to end by itself. Returns its exit status, -1 when it did not end in time.
  int CloseInputAndWait(int timeoutMs);
  bool running() const { return process_.running(); }
  const std::string& error() const { return error_; }

  int webPort() const { return process_.announcement().webPort; }
  int apiPort() const { return process_.announcement().apiPort; }
  // HOST:PORT:127.0.0.1:PORT entries for the web host, the API host and the picture hosts.
  const std::string& connectTo() const { return process_.announcement().connectTo; }
  // The double's self-signed certificate, to be trusted as a CA file.
  const std::string& caFile() const { return process_.announcement().caFile; }
  const std::string& requestLogFile() const { return options_.requestLogFile; }
  // The update page's address on the double.
  static std::string UpdateUrl() { return "http://www.douban.com/albumkeeper/update.txt"; }

  // Sets ALBUMKEEPER_CONNECT_TO, ALBUMKEEPER_CA_FILE and ALBUMKEEPER_UPDATE_URL for this process.
  void ExportEnvironment() const;

  // Every request logged so far, in arrival order.
  std::vector<LoggedRequest> Requests() const;
  // Forgets the requests logged so far.
  void ClearRequests() const;

 private:
  FakeDoubanOptions options_;
  std::string tempDir_;
  std::string error_;
  DoubleProcess process_;
};

// Parses one line of the double's request log; false when it is not one.
bool ParseLoggedRequest(const std::string& line, LoggedRequest& out);

}  // namespace ak::test
