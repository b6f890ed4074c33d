#include <QAbstractButton>
#include <QTest>

#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"
#include "tests/window/window_fixture.h"
#include "tests/window/window_suites.h"

namespace ak::test {
// The four download buttons run their commands: each click shows the buttons of the state it
// leads to, on the widgets themselves.
class DownloadButtonsTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void buttonsFollowTheBatchThroughPauseContinueAndEnd() {
    if (SharedDouble() == nullptr) QFAIL("the service test double did not start");
    SharedDouble()->ExportEnvironment();
    ReloadServiceConfig();
    WindowUnderTest t;
    Controls& c = t.controls();
    const int row = c.AppendRow();
    c.SetCell(row, 1, "1");
    c.SetCell(row, 2, "AB");
    c.SetCell(row, 5, "http://www.douban.com/photos/album/1620000004/");
    c.SetRowChecked(row, true);
    c.SetChecked(ctl::单选框_中图, true);
    c.SetChecked(ctl::选择框_浏览模式, true);
    c.SetCurrentIndex(ctl::高级选择夹1, 1);
    t.settle();
    auto shown = [&t](ControlName name) { return t.widget(name)->isVisible(); };

    t.click(ctl::按钮_下载选中);
    // Pause at once: the batch of 250 photos holds at its next safe point.
    t.click(ctl::按钮_暂停线程);
    QVERIFY(!shown(ctl::按钮_下载选中));
    QVERIFY(!shown(ctl::按钮_暂停线程));
    QVERIFY(shown(ctl::按钮_继续下载));
    QVERIFY(shown(ctl::按钮_结束下载));
    QVERIFY(t.window().Commands().batch.Running());

    t.click(ctl::按钮_继续下载);
    QVERIFY(!shown(ctl::按钮_下载选中));
    QVERIFY(shown(ctl::按钮_暂停线程));
    QVERIFY(!shown(ctl::按钮_继续下载));
    QVERIFY(shown(ctl::按钮_结束下载));

    t.click(ctl::按钮_结束下载);
    QVERIFY(shown(ctl::按钮_下载选中));
    QVERIFY(!shown(ctl::按钮_暂停线程));
    QVERIFY(!shown(ctl::按钮_继续下载));
    QVERIFY(!shown(ctl::按钮_结束下载));
    t.window().Commands().batch.Wait();
    t.settle();
    // Ended: no closing line.
    QVERIFY(c.Log().find(Gbk("全部下载完毕")) == Text::npos);
  }
};

}  // namespace ak::test

QObject* MakeDownloadButtonsTests() { return new ak::test::DownloadButtonsTests; }

#include "download_buttons_test.moc"
