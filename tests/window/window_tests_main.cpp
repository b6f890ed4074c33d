#include <QApplication>
#include <QTest>
#include <cstdio>

#include "shell/browser_environment.h"
#include "tests/support/fake_douban_process.h"
#include "tests/window/window_suites.h"

// The service test double runs for the whole program, so the browser, whose address mapping is
// fixed when it starts, reaches it like every page fetch does.
int main(int argc, char** argv) {
  ak::test::FakeDouban douban;
  const bool haveDouble = douban.Start();
  if (haveDouble) {
    douban.ExportEnvironment();
  } else {
    std::fprintf(stderr, "test double not started: %s\n", douban.error().c_str());
  }
  ak::PrepareBrowserEnvironment();
  QApplication app(argc, argv);
  return ak::test::RunWindowSuites(argc, argv, haveDouble ? &douban : nullptr);
}
