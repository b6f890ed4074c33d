#pragma once

#include <string>

#include "tools/fake_douban/faults.h"

namespace ak::fake {

struct Options {
  std::string fixtureFile;  // empty: the built-in fixture
  int webPort = 0;          // 0: a free port
  int apiPort = 0;
  std::string requestLog;     // empty: no log
  std::string certDir;        // empty: a new folder under the temporary folder
  std::string updateVersion;  // overrides the fixture's when given
  bool watchStdin = true;
  bool dumpFixture = false;
  bool help = false;
  bool hostileNames = false;  // add the person "hostile" (hostile_names.h) to the fixture
  FaultOptions faults;
};

// Parses the command line; on a bad option returns false with the reason in `error`.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
const char* UsageText();

}  // namespace ak::fake
