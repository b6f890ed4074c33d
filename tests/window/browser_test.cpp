#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "commands/shell_services.h"
#include "net/cookie_jar.h"
#include "net/http_fetch.h"
#include "shell/browser_environment.h"
#include "tests/support/fake_douban_process.h"
#include "tests/window/window_fixture.h"
#include "tests/window/window_suites.h"

namespace ak::test {
namespace {

bool WaitForUrl(WindowUnderTest& t, const QString& url) {
  const bool reached = QTest::qWaitFor(
      [&] {
        t.settle();
        return t.widgetAs<QLineEdit>(ctl::编辑框_url)->text() == url;
      },
      20000);
  return reached;
}

// Types the address, presses 打开 and waits until the page has loaded.
bool Open(WindowUnderTest& t, const char* url) {
  QSignalSpy loaded(t.window().Widgets().browser, &QWebEngineView::loadFinished);
  t.controls().SetCaption(ctl::编辑框_url, url);
  t.settle();
  QTest::mouseClick(t.widgetAs<QAbstractButton>(ctl::按钮_打开), Qt::LeftButton);
  return loaded.wait(20000) && loaded.back().value(0).toBool();
}

}  // namespace

class BrowserTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void hostResolverRules() {
    QCOMPARE(HostResolverRules("www.douban.com:80:127.0.0.1:4567"),
             std::string("MAP www.douban.com:80 127.0.0.1:4567"));
    QCOMPARE(HostResolverRules("a:80:127.0.0.1:1, bad, b:443:127.0.0.1:2,c:x:h:1"),
             std::string("MAP a:80 127.0.0.1:1, MAP b:443 127.0.0.1:2"));
    QCOMPARE(HostResolverRules(""), std::string());
  }

  void cookiesGoToTheJarByDomain() {
    CookieJar jar;
    BrowserCookie cookie{.domain = ".Douban.com", .path = "/", .name = "dbcl2", .value = "\"1:x\""};
    FeedCookieJar(jar, cookie);
    auto stored = jar.Find("douban.com", "/", "dbcl2");
    QVERIFY(stored.has_value());
    QVERIFY(stored->includeSubdomains);
    // Removed by the browser only while it still holds the browser's value.
    BrowserCookie removed = cookie;
    removed.removed = true;
    removed.value = "other";
    FeedCookieJar(jar, removed);
    QVERIFY(jar.Find("douban.com", "/", "dbcl2").has_value());
    removed.value = cookie.value;
    FeedCookieJar(jar, removed);
    QVERIFY(!jar.Find("douban.com", "/", "dbcl2").has_value());
  }

  // Signing in on the login page of the test double: the address box follows the browser, the
  // browser's cookies reach the shared jar, and a page fetch then carries the login.
  void loginReachesPageFetches() {
    FakeDouban* douban = SharedDouble();
    if (douban == nullptr) QFAIL("the service test double did not start");
    SharedCookieJar().Clear();
    WindowUnderTest t({.cookieSink = [](const BrowserCookie& cookie) {
      FeedCookieJar(SharedCookieJar(), cookie);
    }});
    QVERIFY(Open(t, "http://www.douban.com/login"));

    QWebEnginePage* page = t.window().Widgets().browser->page();
    page->runJavaScript(
        QStringLiteral("document.getElementById('email').value = 'reader@example.com';"
                       "document.getElementById('lzform').submit();"));
    // The form answers with a redirect to the root page that sets the session cookie.
    QVERIFY(WaitForUrl(t, QStringLiteral("http://www.douban.com/")));
    QVERIFY(QTest::qWaitFor(
        [] { return SharedCookieJar().Find("douban.com", "/", "dbcl2").has_value(); }, 10000));
    QCOMPARE(SharedCookieJar().Find("douban.com", "/", "dbcl2")->value,
             std::string("\"1000001:reader@example.com\""));

    douban->ClearRequests();
    HttpFetch("http://www.douban.com/people/", 0);
    bool carried = false;
    for (const LoggedRequest& request : douban->Requests()) {
      carried = carried || request.Header("Cookie").find("dbcl2=") != std::string::npos;
    }
    QVERIFY(carried);
  }

  // A page that asks for a new window loads in the embedded browser instead.
  void newWindowStaysInTheBrowser() {
    if (SharedDouble() == nullptr) QFAIL("the service test double did not start");
    WindowUnderTest t;
    QVERIFY(Open(t, "http://www.douban.com/"));
    t.window().Widgets().browser->page()->runJavaScript(
        QStringLiteral("window.open('http://www.douban.com/login', '_blank');"));
    QVERIFY(WaitForUrl(t, QStringLiteral("http://www.douban.com/login")));
    QCOMPARE(t.window().Widgets().browser->url().toString(),
             QStringLiteral("http://www.douban.com/login"));
  }
};

}  // namespace ak::test

QObject* MakeBrowserTests() { return new ak::test::BrowserTests; }

#include "browser_test.moc"
