#include "tests/window/window_suites.h"

#include <QObject>
#include <QTest>
#include <memory>

QObject* MakeStartupTests();
QObject* MakeOptionTests();
QObject* MakeLayoutTests();
QObject* MakeVersionCheckTests();
QObject* MakeFolderTests();
QObject* MakeBrowserTests();
QObject* MakeAlbumListTests();
QObject* MakeDownloadButtonsTests();
QObject* MakeSmokeTests();

namespace ak::test {
namespace {
FakeDouban* sharedDouble = nullptr;
}

FakeDouban* SharedDouble() { return sharedDouble; }

int RunWindowSuites(int argc, char** argv, FakeDouban* douban) {
  sharedDouble = douban;
  int failed = 0;
  for (auto make :
       {MakeStartupTests, MakeOptionTests, MakeLayoutTests, MakeVersionCheckTests, MakeFolderTests,
        MakeBrowserTests, MakeAlbumListTests, MakeDownloadButtonsTests, MakeSmokeTests}) {
    std::unique_ptr<QObject> suite(make());
    // AK_WINDOW_SUITE=Name runs only the suites whose class name holds Name.
    const QByteArray only = qgetenv("AK_WINDOW_SUITE");
    if (!only.isEmpty() && !QByteArray(suite->metaObject()->className()).contains(only)) continue;
    if (QTest::qExec(suite.get(), argc, argv) != 0) ++failed;
  }
  return failed;
}

}  // namespace ak::test
