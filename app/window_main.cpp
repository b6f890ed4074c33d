#include "app/window_main.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/demo_double.h"
#include "app/screenshot.h"
#include "base/codec.h"
#include "base/delay.h"
#include "cli/argument_parser.h"
#include "commands/program_cookies.h"
#include "commands/program_dir.h"
#include "commands/shell_services.h"
#include "controls/controls.h"
#include "net/service_config.h"
#include "shell/browser_environment.h"
#include "shell/event_pump.h"
#include "shell/main_window.h"

namespace ak {
namespace {

// "--demo" first: starts the installed test double and points the program at it. Null, with
// a message printed, when it cannot be started.
std::unique_ptr<DemoDouble> StartDemo() {
  const std::filesystem::path program = FindDemoDouble();
  if (program.empty()) {
    std::fputs(
        "albumkeeper: --demo needs the test double fake_douban beside the program "
        "(or named by ALBUMKEEPER_DEMO_DOUBLE)\n",
        stderr);
    return nullptr;
  }
  auto demo = std::make_unique<DemoDouble>();
  std::string error;
  if (!demo->Start(program, error)) {
    std::fprintf(stderr, "albumkeeper: %s\n", error.c_str());
    return nullptr;
  }
  demo->ExportEnvironment();
  ReloadServiceConfig();
  std::fprintf(stderr, "Demo: service test double at %s (try the address %s)\n",
               demo->Ports().c_str(), kDemoAddress);
  return demo;
}

}  // namespace

int RunWindow(int argc, char** argv) {
  std::unique_ptr<DemoDouble> demo;
  std::vector<char*> args(argv, argv + argc);
  if (args.size() > 1 && std::strcmp(args[1], "--demo") == 0) {
    args.erase(args.begin() + 1);
    demo = StartDemo();
    if (!demo) return 1;
  }
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);

  std::optional<ak::ScreenshotRequest> screenshot;
  if (count > 1) {
    screenshot = ak::ParseScreenshotArguments(count, args.data());
    if (!screenshot) {
      std::fputs(ak::UsageText().c_str(), stderr);
      return 2;
    }
    // A screenshot needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }

  // The browser's settings must be in place before the application object exists.
  ak::PrepareBrowserEnvironment();
  QApplication app(count, args.data());
  ak::InstallWindowEventPump();

  ak::Controls controls(ak::GbkToUtf8(ak::WebHost()));
  ak::ShellServices services = ak::ProgramShellServices();
  if (screenshot) services.persistentBrowserProfile = false;
  // The sign-in of an earlier run; written back when the window has closed.
  ak::ProgramCookies cookies(ak::SharedCookieJar(), ak::ProgramDir());
  auto* window = new ak::MainWindow(controls, std::move(services));
  window->Created();
  cookies.Load(controls);
  if (demo) {
    // The demo starts where a new user lists albums: the album page, with an address filled in.
    controls.SetCurrentIndex(ctl::高级选择夹1, 1);
    controls.SetCaption(ctl::编辑框_号码, kDemoAddress);
  }
  window->show();
  if (screenshot) {
    const int saved = ak::TakeScreenshot(*window, *screenshot);
    delete window;
    return saved;
  }

  const int status = app.exec();
  cookies.Save();
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
