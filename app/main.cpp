#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_engine.h"
#include "cli/cli_run.h"
#ifdef ALBUMKEEPER_WITH_WINDOW
#include "app/window_main.h"
#endif

namespace {

#ifdef ALBUMKEEPER_WITH_WINDOW
// The window's own arguments; everything else is the command line's.
bool IsWindowStart(int argc, char** argv) {
  if (argc <= 1) return true;
  for (const char* window : {"--demo", "--screenshot", "--page"}) {
    if (std::strcmp(argv[1], window) == 0) return true;
  }
  return false;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef ALBUMKEEPER_WITH_WINDOW
  if (IsWindowStart(argc, argv)) return ak::RunWindow(argc, argv);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  return ak::RunCommandLine(args, ak::ProgramCliEngine(),
                            {std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1, STDIN_FILENO});
}
