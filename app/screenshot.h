#pragma once

#include <optional>
#include <string>

namespace ak {

class MainWindow;

struct ScreenshotRequest {
  std::string file;
  int page = 0;
  // An address to list first, as if typed and the album button pressed (UTF-8).
  std::string address;
  bool covers = false;
};

// "--screenshot FILE [--page N] [--address ADDRESS [--covers]]" with N 0, 1 or 2; nothing for
// other arguments.
std::optional<ScreenshotRequest> ParseScreenshotArguments(int argc, char** argv);

// Lists the request's address first when it has one (waiting for the listing to end, a minute
// at most), shows `page`, waits until the window is laid out and the browser has settled (a few
// seconds at most), saves a PNG of the window and returns the exit status (0 when saved).
int TakeScreenshot(MainWindow& window, const ScreenshotRequest& request);

}  // namespace ak
