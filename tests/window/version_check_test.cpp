#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "net/http_fetch.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"
#include "tests/window/window_fixture.h"
#include "tests/window/window_suites.h"

namespace ak::test {
namespace {

// An update-page fetch that counts its calls and can be held until released.
struct HeldFetch {
  std::mutex mutex;
  std::condition_variable cv;
  bool held = false;
  std::atomic<int> calls{0};
  Bytes page = "#douban@@2.0#douban";

  UpdatePageFetch Fetch() {
    return [this] {
      ++calls;
      std::unique_lock lock(mutex);
      cv.wait(lock, [this] { return !held; });
      return page;
    };
  }
  void Hold() {
    std::lock_guard lock(mutex);
    held = true;
  }
  void Release() {
    {
      std::lock_guard lock(mutex);
      held = false;
    }
    cv.notify_all();
  }
};

void ClickToolbarItem(WindowUnderTest& t, int index) {
  auto* toolbar = t.widgetAs<QToolBar>(ctl::工具条1);
  QTest::mouseClick(toolbar->widgetForAction(toolbar->actions()[index]), Qt::LeftButton);
}

void ClickTab(WindowUnderTest& t, int index) {
  QTabBar* bar = t.widgetAs<QTabWidget>(ctl::高级选择夹1)->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

bool WaitForChecks(WindowUnderTest& t) {
  const bool done = QTest::qWaitFor([&] { return !t.window().VersionCheck().Running(); }, 20000);
  t.settle();
  return done;
}

QList<QMessageBox*> MessageBoxes(WindowUnderTest& t) {
  return t.window().findChildren<QMessageBox*>(QStringLiteral("信息框"));
}

void CloseMessageBoxes(WindowUnderTest& t) {
  for (QMessageBox* box : MessageBoxes(t)) box->close();
  QCoreApplication::processEvents();
}

}  // namespace

class VersionCheckTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void toolbarSwitchesPagesAndChecksOnce() {
    HeldFetch fetch;
    WindowUnderTest t({.fetch = fetch.Fetch()});
    auto* pages = t.widgetAs<QTabWidget>(ctl::高级选择夹1);
    ClickToolbarItem(t, 2);
    t.settle();
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(t.controls().CurrentIndex(ctl::高级选择夹1), 1);
    QCOMPARE(t.window().VersionCheck().Started(), 0);
    ClickToolbarItem(t, 4);
    t.settle();
    QCOMPARE(pages->currentIndex(), 2);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(t.window().VersionCheck().Started(), 1);
    QCOMPARE(t.window().VersionCheckGate(), 2);
    ClickToolbarItem(t, 0);
    t.settle();
    QCOMPARE(pages->currentIndex(), 0);
    ClickToolbarItem(t, 4);
    ClickTab(t, 2);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(t.window().VersionCheck().Started(), 1);
    QCOMPARE(fetch.calls.load(), 1);
    // The button runs the check every time.
    QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::按钮_checknew), Qt::LeftButton);
    QVERIFY(WaitForChecks(t));
    QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::按钮_checknew), Qt::LeftButton);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(fetch.calls.load(), 3);
  }

  void tabChecksOnceToo() {
    HeldFetch fetch;
    WindowUnderTest t({.fetch = fetch.Fetch()});
    ClickTab(t, 1);
    ClickTab(t, 2);
    t.settle();
    QCOMPARE(t.controls().CurrentIndex(ctl::高级选择夹1), 2);
    QVERIFY(WaitForChecks(t));
    ClickTab(t, 0);
    ClickTab(t, 2);
    ClickToolbarItem(t, 4);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(fetch.calls.load(), 1);
  }

  // While the fetch waits, the window answers; a second press does not start a second check.
  void checkDoesNotFreezeTheWindow() {
    HeldFetch fetch;
    fetch.page = "#douban@@3.0#douban";
    WindowUnderTest t({.fetch = fetch.Fetch()});
    fetch.Hold();
    auto* button = t.widgetAs<QAbstractButton>(ctl::按钮_checknew);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return fetch.calls.load() == 1; }, 5000));
    QTest::mouseClick(button, Qt::LeftButton);
    // The window still handles clicks while the fetch is held.
    QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::选择框_有图), Qt::LeftButton);
    t.settle();
    QVERIFY(t.controls().Checked(ctl::选择框_有图));
    QVERIFY(t.window().VersionCheck().Running());
    QCOMPARE(t.controls().Caption(ctl::标签_zxbanben), Text());
    fetch.Release();
    QVERIFY(WaitForChecks(t));
    QCOMPARE(fetch.calls.load(), 1);
    QCOMPARE(t.window().VersionCheck().Started(), 1);
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_zxbanben)->text(), QStringLiteral("3.0"));
    CloseMessageBoxes(t);
  }

  // The verdicts against the update page of the service test double.
  void verdictsFromTheUpdatePage_data() {
    QTest::addColumn<QString>("published");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<bool>("message");
    QTest::newRow("same") << QStringLiteral("2.0") << QStringLiteral("2.0")
                          << QStringLiteral("无需更新") << false;
    QTest::newRow("newer") << QStringLiteral("3.0") << QStringLiteral("3.0")
                           << QStringLiteral("有新版，联系客服获取最新版！") << true;
    QTest::newRow("same whole number")
        << QStringLiteral("2.5") << QStringLiteral("2.5") << QString() << false;
    QTest::newRow("older") << QStringLiteral("1.0") << QStringLiteral("1.0") << QString() << false;
    QTest::newRow("not a number") << QStringLiteral("beta") << QStringLiteral("beta") << QString()
                                  << false;
  }

  void verdictsFromTheUpdatePage() {
    QFETCH(QString, published);
    QFETCH(QString, latest);
    QFETCH(QString, verdict);
    QFETCH(bool, message);
    FakeDouban douban({.extraArgs = {"--update-version", published.toStdString()}});
    QVERIFY2(douban.Start(), douban.error().c_str());
    douban.ExportEnvironment();
    ReloadServiceConfig();
    WindowUnderTest t({.fetch = [] { return HttpFetch(UpdatePageUrl(), 0); }});
    QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::按钮_checknew), Qt::LeftButton);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_zxbanben)->text(), latest);
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_banbenjieguo)->text(), verdict);
    const auto boxes = MessageBoxes(t);
    QCOMPARE(boxes.size(), message ? 1 : 0);
    if (message) {
      QCOMPARE(boxes[0]->text(), QStringLiteral("有新版本，联系客服索取"));
      QCOMPARE(boxes[0]->windowTitle(), QStringLiteral("信息："));
      QCOMPARE(boxes[0]->buttons().size(), 1);
      QCOMPARE(boxes[0]->standardButton(boxes[0]->buttons()[0]), QMessageBox::Ok);
    }
    CloseMessageBoxes(t);
    // The request went to the update page with a GET.
    bool asked = false;
    for (const LoggedRequest& request : douban.Requests()) {
      asked = asked || (request.method == "GET" && request.target == "/albumkeeper/update.txt");
    }
    QVERIFY(asked);
    if (SharedDouble() != nullptr) SharedDouble()->ExportEnvironment();
    ReloadServiceConfig();
  }

  // An unreachable page shows no latest version and leaves the verdict as it was.
  void failedFetchKeepsTheVerdict() {
    HeldFetch fetch;
    WindowUnderTest t({.fetch = fetch.Fetch()});
    QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::按钮_checknew), Qt::LeftButton);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_banbenjieguo)->text(), QStringLiteral("无需更新"));
    fetch.page.clear();
    QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::按钮_checknew), Qt::LeftButton);
    QVERIFY(WaitForChecks(t));
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_zxbanben)->text(), QString());
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_banbenjieguo)->text(), QStringLiteral("无需更新"));
    QVERIFY(MessageBoxes(t).isEmpty());
  }
};

}  // namespace ak::test

QObject* MakeVersionCheckTests() { return new ak::test::VersionCheckTests; }

#include "version_check_test.moc"
