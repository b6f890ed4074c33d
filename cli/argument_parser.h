#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_request.h"

namespace ak {

// The outcome of reading the arguments: a request to run, or an exit status with what to print
// (help and version on standard output, an error and the usage on standard error).
struct ParsedArguments {
  std::optional<CliRequest> request;
  int exitStatus = 0;
  std::string out;
  std::string err;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitPhotosFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// The program's name and version as --version prints them.
const char* VersionText();

// Reads the arguments after the program's name (UTF-8). Unknown or missing arguments, a bad
// album selection and options that contradict each other give status 2 with the usage.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// The short usage shown after an error.
std::string UsageText();

}  // namespace ak
