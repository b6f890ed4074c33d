#include <QTest>
#include <QTimer>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/delay.h"
#include "commands/layout.h"
#include "shell/event_pump.h"

#include "tests/window/window_fixture.h"

namespace ak::test {

class LayoutTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // What the user sees at the design width and wider: every control inside the box that holds
  // it, the controls of one row side by side in their order without overlapping (the download
  // buttons that share one place are checked in the sets that are shown together), the boxes
  // that take the room growing with the window and the buttons keeping their size.
  void layoutFollowsTheWidth() {
    // The rows of controls on each page, each row left to right.
    const std::vector<std::vector<ControlName>> rowsOfPage[] = {
        {{ctl::编辑框_url, ctl::按钮_打开}},
        {{ctl::标签1, ctl::编辑框_号码, ctl::按钮_获取相册封面, ctl::按钮_下载选中},
         {ctl::标签1, ctl::编辑框_号码, ctl::按钮_获取相册封面, ctl::按钮_暂停线程,
          ctl::按钮_结束下载},
         {ctl::标签1, ctl::编辑框_号码, ctl::按钮_获取相册封面, ctl::按钮_继续下载,
          ctl::按钮_结束下载},
         // (The design gives 标签_保存路径 a box wider than its caption, under the folder box.)
         {ctl::编辑框_保存位置, ctl::按钮_选择位置, ctl::按钮_打开目录, ctl::按钮_重试失败},
         {ctl::超级列表框1, ctl::分组框_日志}},
    };
    // What holds the rows, within the width of its page (the browser is designed taller than
    // its page, so only its width is checked).
    const std::vector<ControlName> boxesOfPage[] = {
        {ctl::超文本浏览框1},
        {ctl::分组框_zhuye, ctl::分组框_weizhi, ctl::分组框_liebiao, ctl::编辑框_操作记录},
    };
    const ControlName growing[] = {ctl::超文本浏览框1, ctl::编辑框_url, ctl::编辑框_号码,
                                   ctl::编辑框_保存位置, ctl::超级列表框1};
    const ControlName fixed[] = {ctl::按钮_打开,     ctl::按钮_获取相册封面, ctl::按钮_下载选中,
                                 ctl::按钮_结束下载, ctl::按钮_打开目录,     ctl::分组框_日志};
    std::map<std::string, QRect> atDesign;
    for (const int w : {940, 1200}) {
      WindowUnderTest t;
      t.window().resize(w, 700);
      t.settle();
      auto shown = [&t](ControlName name) { return t.widget(name)->geometry(); };
      auto where = [w](ControlName name) {
        return QString::fromUtf8(name.CString()) + QStringLiteral(" at width ") +
               QString::number(w);
      };
      QVERIFY(t.window().rect().contains(shown(ctl::高级选择夹1)));
      for (int page = 0; page < 2; ++page) {
        t.controls().SetCurrentIndex(ctl::高级选择夹1, page);
        t.settle();
        for (ControlName name : boxesOfPage[page]) {
          QWidget* widget = t.widget(name);
          QVERIFY2(widget->x() >= 0 && widget->geometry().right() < widget->parentWidget()->width(),
                   qPrintable(where(name)));
        }
        for (const std::vector<ControlName>& row : rowsOfPage[page]) {
          for (std::size_t i = 0; i < row.size(); ++i) {
            QWidget* widget = t.widget(row[i]);
            QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()),
                     qPrintable(where(row[i])));
            QVERIFY2(widget->width() > 0, qPrintable(where(row[i])));
            // Wholly right of the one before.
            if (i > 0) {
              QVERIFY2(shown(row[i - 1]).right() < shown(row[i]).left(), qPrintable(where(row[i])));
            }
          }
        }
      }
      if (w == 940) {
        for (ControlName name : growing) atDesign[name.CString()] = shown(name);
        for (ControlName name : fixed) atDesign[name.CString()] = shown(name);
        continue;
      }
      for (ControlName name : growing) {
        QVERIFY2(shown(name).width() > atDesign[name.CString()].width(), name.CString());
      }
      for (ControlName name : fixed) {
        QVERIFY2(shown(name).size() == atDesign[name.CString()].size(), name.CString());
      }
    }
  }

  // The settings page's common box holds rows added over time (sizes, pacing, connections,
  // metadata): every control of it inside it, and no two of them on top of each other.
  void settingsControlsDoNotOverlap() {
    WindowUnderTest t;
    t.controls().SetCurrentIndex(ctl::高级选择夹1, 2);
    t.settle();
    QWidget* box = t.widget(ctl::分组框2);
    const QList<QWidget*> children = box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(children.size() > 10);
    for (qsizetype i = 0; i < children.size(); ++i) {
      const QString name = children[i]->objectName();
      QVERIFY2(box->rect().contains(children[i]->geometry()), qPrintable(name));
      for (qsizetype j = i + 1; j < children.size(); ++j) {
        QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                 qPrintable(name + QStringLiteral(" / ") + children[j]->objectName()));
      }
    }
  }

  // No lower bound: a very narrow window gives the boxes that take the room widths below zero in
  // the model (the widgets show them as nothing), never a layout that pushes the buttons out.
  void noLowerBound() {
    Controls controls;
    LayoutMainWindow(controls, 300);
    QVERIFY(controls.Geometry(ctl::编辑框_号码).width < 0);
    QCOMPARE(controls.Geometry(ctl::按钮_下载选中).width, 85);
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
