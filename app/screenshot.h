#pragma once

#include <optional>
#include <string>

namespace ak {

class MainWindow;

struct ScreenshotRequest {
  std::string file;
  int page = 0;
};

// "--screenshot FILE [--page N]" with N 0, 1 or 2; nothing for other arguments.
std::optional<ScreenshotRequest> ParseScreenshotArguments(int argc, char** argv);

// Shows `page`, waits until the window is laid out and the browser has settled (a few seconds
// at most), saves a PNG of the window and returns the exit status (0 when saved).
int TakeScreenshot(MainWindow& window, const ScreenshotRequest& request);

}  // namespace ak
