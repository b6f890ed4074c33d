#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_engine.h"
#include "cli/cli_request.h"

namespace ak {

// Where a command-line run writes.
struct CliStreams {
  // The log of `download` and the rows of `list` (UTF-8).
  std::ostream& out;
  // Errors, the usage, the log of `list`, and the progress line when `errIsTerminal`.
  std::ostream& err;
  bool errIsTerminal = false;
  // Where a held download waits for Enter to go on (the program's standard input); below 0:
  // nowhere, the download holds until Ctrl-C.
  int in = -1;
};

// Runs the command line with the arguments after the program's name and returns the exit
// status: 0 done, 1 photos failed (or nothing could be listed, or the service refused the
// download under --no-wait), 2 bad arguments or address, 130 ended by Ctrl-C.
int RunCommandLine(const std::vector<std::string>& args, const CliEngine& engine,
                   CliStreams streams);

// Runs one parsed request.
int RunRequest(const CliRequest& request, const CliEngine& engine, CliStreams streams);

}  // namespace ak
