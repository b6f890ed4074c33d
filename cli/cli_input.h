#pragma once

#include <string>
#include <vector>

#include "cli/cli_engine.h"
#include "cli/cli_request.h"
#include "cli/cli_run.h"

namespace ak {

// One line of an input file that holds an address.
struct InputAddress {
  int line = 0;
  std::string address;
};

// What an input file holds: its addresses, and a message (UTF-8, without the program's name)
// for every line that holds none the program takes.
struct InputList {
  std::vector<InputAddress> addresses;
  std::vector<std::string> badLines;
};

// Reads the addresses of `text`, one a line; blank lines and lines whose first non-blank
// character is "#" are passed over, spaces around an address trimmed. A line that is neither a
// person's page nor an album's address is a bad line, named by its number.
InputList ReadInputList(const std::string& text, const std::string& fileName);

// `download --input FILE`: runs the request once for every address of the file, one after
// another, each as its own source (its record store, its folder). Bad lines are reported and
// passed over. The exit status is the worst of the runs and the bad lines (2 bad argument or
// line, then 1 photos failed, then 0); Ctrl-C ends the whole run with 130.
int RunInputFile(const CliRequest& request, const CliEngine& engine, CliStreams streams);

}  // namespace ak
