#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace ak {

// What the service test double (tools/fake_douban) announces on its standard output once it
// listens: "web=PORT api=PORT", then "ca=FILE" and "connect-to=...".
struct DoubleAnnouncement {
  std::string ports;  // the whole first line, "web=PORT api=PORT"
  int webPort = 0;
  int apiPort = 0;
  std::string caFile;     // its self-signed certificate, to be trusted as a CA file
  std::string connectTo;  // HOST:PORT:127.0.0.1:PORT entries for every host it serves
};

// The test double run as a child process: its standard input is a pipe held by this object (the
// double ends by itself when that closes, so it also goes when this process dies), its standard
// output is read until the three start lines have come. Only std and POSIX, so the program's
// demo, the tests and the benchmarks all start it the same way.
class DoubleProcess {
 public:
  DoubleProcess() = default;
  // Stops a double still running (see Stop).
  ~DoubleProcess();
  DoubleProcess(const DoubleProcess&) = delete;
  DoubleProcess& operator=(const DoubleProcess&) = delete;

  // Starts `argv` (argv[0] is the double's path) and waits up to `limit` for its start lines.
  // False, with `error`, when it cannot be started, ends first or says something else; a double
  // started but not announced is stopped again.
  bool Start(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
             std::string& error);
  // SIGTERM and its input closed, up to `grace` for it to end, then SIGKILL. The exit status
  // (0 after a clean stop), -1 when it was not running or did not end by itself.
  int Stop(std::chrono::milliseconds grace = std::chrono::seconds(10));
  // Closes its input, as the end of this process would, and waits up to `limit` for it to end by
  // itself. The exit status, -1 when it did not end in time (it then still runs) or was killed.
  int CloseInputAndWait(std::chrono::milliseconds limit);

  bool running() const { return pid_ > 0; }
  const DoubleAnnouncement& announcement() const { return announcement_; }

 private:
  bool ReadStartLines(std::chrono::milliseconds limit, std::string& error);
  int WaitForExit(std::chrono::milliseconds limit);

  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  DoubleAnnouncement announcement_;
};

// Reads the start lines out of `text` (the double's output so far). False when one is missing
// or malformed.
bool ParseDoubleAnnouncement(const std::string& text, DoubleAnnouncement& out);

}  // namespace ak
