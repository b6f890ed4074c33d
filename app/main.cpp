#include <cstdio>
#include <cstring>

#include "app/usage.h"
#ifdef ALBUMKEEPER_WITH_WINDOW
#include "app/window_main.h"
#endif

namespace ak {

void PrintUsage() {
  std::puts(
#ifdef ALBUMKEEPER_WITH_WINDOW
      "usage: albumkeeper                      start the window\n"
      "       albumkeeper --screenshot FILE [--page N]\n"
      "                                        save a PNG of the window (page 0, 1 or 2)\n"
      "       albumkeeper --screenshot FILE --page 1 --address ADDRESS [--covers]\n"
      "                                        the same after listing ADDRESS's albums\n"
#else
      "usage: (this build has no window)\n"
#endif
      "       albumkeeper --version\n"
      "       albumkeeper --help");
}

}  // namespace ak

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("AlbumKeeper 2.0");
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    ak::PrintUsage();
    return 0;
  }
#ifdef ALBUMKEEPER_WITH_WINDOW
  return ak::RunWindow(argc, argv);
#else
  ak::PrintUsage();
  return 2;
#endif
}
