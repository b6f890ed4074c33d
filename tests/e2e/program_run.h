#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ak::e2e {

// How the program ended: its exit status (or the signal that killed it) and what it printed.
struct ProgramResult {
  // The exit status; -1 when it was killed by a signal or did not end in time.
  int exitStatus = -1;
  int termSignal = 0;
  bool timedOut = false;
  std::string out;
  std::string err;
};

// Environment changes for the child: a value sets the variable, no value removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// The real albumkeeper program run as a child process with the arguments given: its standard
// input reads nothing, its standard output and error are read as they grow.
//
//   ProgramRun run({"list", address}, env);
//   ASSERT_TRUE(run.WaitForOutput([](auto& out, auto&) { return out.find("...") ... }));
//   run.Signal(SIGINT);
//   ProgramResult result = run.Wait();
class ProgramRun {
 public:
  // With `input`, the child's standard input is a pipe that WriteInput writes to (and that
  // stays open until the child ends); without, it reads nothing.
  ProgramRun(const std::vector<std::string>& args, const EnvChanges& env, bool input = false);
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool started() const { return pid_ > 0; }
  // Waits until `condition`(stdout so far, stderr so far) holds, the program ended, or the limit
  // passed. True when the condition held.
  bool WaitForOutput(const std::function<bool(const std::string&, const std::string&)>& condition,
                     std::chrono::milliseconds limit);
  void Signal(int signal);
  // Writes `text` to the child's standard input (a run made with `input`); true when all of it
  // went.
  bool WriteInput(const std::string& text);
  // Waits for the program to end and for all its output; a program still running after
  // `limit` is killed and reported as timed out.
  ProgramResult Wait(std::chrono::milliseconds limit);

 private:
  void ReadAll();

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  int inFd_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable grew_;
  std::string out_;
  std::string err_;
  bool closed_ = false;
  std::optional<ProgramResult> result_;
};

// Runs the program to its end (at most `limit`).
ProgramResult RunProgram(const std::vector<std::string>& args, const EnvChanges& env,
                         std::chrono::milliseconds limit = std::chrono::seconds(60));

// The path of the albumkeeper program under test.
const char* ProgramPath();

}  // namespace ak::e2e
