#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/screenshot.h"
#include "controls/controls.h"
#include "net/codec.h"
#include "net/delay.h"
#include "net/service_config.h"
#include "shell/browser_environment.h"
#include "shell/event_pump.h"
#include "shell/main_window.h"
#include "shell/shell_services.h"

namespace {

void PrintUsage() {
  std::puts(
      "usage: albumkeeper                      start the window\n"
      "       albumkeeper --screenshot FILE [--page N]\n"
      "                                        save a PNG of the window (page 0, 1 or 2)\n"
      "       albumkeeper --version");
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<ak::ScreenshotRequest> screenshot;
  if (argc > 1) {
    if (std::strcmp(argv[1], "--version") == 0) {
      std::puts("AlbumKeeper 2.0");
      return 0;
    }
    screenshot = ak::ParseScreenshotArguments(argc, argv);
    if (!screenshot) {
      PrintUsage();
      return 2;
    }
    // A screenshot needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }

  // The browser's settings must be in place before the application object exists.
  ak::PrepareBrowserEnvironment();
  QApplication app(argc, argv);
  ak::InstallWindowEventPump();

  ak::Controls controls(ak::GbkToUtf8(ak::WebHost()));
  ak::ShellServices services = ak::ProgramShellServices();
  if (screenshot) services.persistentBrowserProfile = false;
  auto* window = new ak::MainWindow(controls, std::move(services));
  window->Created();
  window->show();
  if (screenshot) {
    const int saved = ak::TakeScreenshot(*window, *screenshot);
    delete window;
    return saved;
  }

  const int status = app.exec();
  if (ak::RunningWorkers() > 0) {
    // A worker still waits on the network: end the process at once rather than wait for it.
    // Everything the program keeps on disk is written when it happens, so nothing is lost.
    std::fflush(nullptr);
    std::_Exit(status);
  }
  delete window;
  return status;
}
