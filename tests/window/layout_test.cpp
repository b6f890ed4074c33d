#include <QTest>
#include <QTimer>
#include <thread>

#include "base/delay.h"
#include "shell/event_pump.h"

#include "commands/layout.h"
#include "tests/window/window_fixture.h"

namespace ak::test {

class LayoutTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Positions worked out by hand from the design widths (button 专辑页面 96, 打开 93,
  // 日志 group 236, 获取相册封面 91, 下载选中 85) for a window W pixels wide.
  void layoutFollowsTheWidth_data() {
    QTest::addColumn<int>("w");
    QTest::newRow("design width") << 940;
    QTest::newRow("wider") << 1200;
    QTest::newRow("narrow") << 500;
  }

  void layoutFollowsTheWidth() {
    QFETCH(int, w);
    WindowUnderTest t;
    t.window().resize(w, 700);
    t.settle();
    const int tabs = w - 20;
    const int group = tabs - 20;
    const int address = group - 91 - 85 - 200;
    const int download = group - 85 - 80;
    const struct {
      ControlName name;
      int left;  // -1: not checked
      int width;
    } expected[] = {
        {ctl::高级选择夹1, 2, tabs},
        {ctl::超文本浏览框1, 12, w - 40},
        {ctl::按钮_专辑页面, w - 96 - 40, 96},
        {ctl::按钮_打开, w - 96 - 93 - 60, 93},
        {ctl::编辑框_url, 12, w - 96 - 93 - 60 - 20},
        {ctl::分组框_liebiao, 6, group},
        {ctl::分组框_weizhi, 6, group},
        {ctl::分组框_zhuye, 6, group},
        {ctl::超级列表框1, 6, group - 236 - 20},
        {ctl::分组框_日志, group - 236 - 5, 236},
        {ctl::编辑框_号码, 82, address},
        {ctl::按钮_获取相册封面, group - 91 - 85 - 100, 91},
        {ctl::按钮_下载选中, download, 85},
        {ctl::按钮_暂停线程, download, 67},
        {ctl::按钮_继续下载, download, 67},
        {ctl::按钮_结束下载, download + 85 + 10, 64},
        {ctl::编辑框_保存位置, 84, address},
        {ctl::按钮_选择位置, group - 91 - 85 - 100, 91},
        {ctl::按钮_打开目录, download, 79},
        {ctl::按钮_重试失败, download + 79 + 10, 64},
    };
    for (const auto& e : expected) {
      const ControlRect model = t.controls().Geometry(e.name);
      QVERIFY2(model.left == e.left && model.width == e.width, e.name.CString());
      QWidget* widget = t.widget(e.name);
      QVERIFY2(widget->x() == e.left && widget->width() == e.width, e.name.CString());
    }
    // Heights and tops stay as designed.
    QCOMPARE(t.controls().Geometry(ctl::按钮_结束下载).top, 16);
  }

  // No lower bound: a very narrow window gives negative widths in the model, which the widgets
  // show as nothing.
  void noLowerBound() {
    Controls controls;
    LayoutMainWindow(controls, 300);
    QCOMPARE(controls.Geometry(ctl::编辑框_号码).width, 300 - 40 - 91 - 85 - 200);
    QCOMPARE(controls.Geometry(ctl::超级列表框1).width, 300 - 40 - 236 - 20);
  }

  // A wait on the window's thread keeps its events flowing once the pump is installed.
  void waitOnTheWindowThreadRunsEvents() {
    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    PumpingDelay(100);
    QVERIFY(!fired);  // without the pump the thread merely sleeps
    InstallWindowEventPump();
    QTimer::singleShot(10, [&] { fired = true; });
    PumpingDelay(100);
    SetEventPump(std::this_thread::get_id(), {});
    QVERIFY(fired);
  }
};

}  // namespace ak::test

QObject* MakeLayoutTests() { return new ak::test::LayoutTests; }

#include "layout_test.moc"
