#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/screenshot.h"
#include "app/window_main.h"
#include "base/codec.h"
#include "cli/argument_parser.h"
#include "base/delay.h"
#include "commands/shell_services.h"
#include "controls/controls.h"
#include "net/service_config.h"
#include "shell/browser_environment.h"
#include "shell/event_pump.h"
#include "shell/main_window.h"

namespace ak {

int RunWindow(int argc, char** argv) {
  std::optional<ak::ScreenshotRequest> screenshot;
  if (argc > 1) {
    screenshot = ak::ParseScreenshotArguments(argc, argv);
    if (!screenshot) {
      std::fputs(ak::UsageText().c_str(), stderr);
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

}  // namespace ak
