#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QWebEngineView>

#include "base/codec.h"
#include "base/version.h"
#include "controls/control_catalogue.h"
#include "tests/window/window_fixture.h"

namespace ak::test {
namespace {

QString U(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

const char* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kWindow:
    case ControlKind::kDrawingBoard:
      return "QWidget";
    case ControlKind::kToolbar:
      return "QToolBar";
    case ControlKind::kTabControl:
      return "QTabWidget";
    case ControlKind::kGroupBox:
      return "QGroupBox";
    case ControlKind::kLabel:
      return "QLabel";
    case ControlKind::kClickableLabel:
      return "ak::ClickableLabel";
    case ControlKind::kLineEdit:
      return "QLineEdit";
    case ControlKind::kMultiLineEdit:
      return "QPlainTextEdit";
    case ControlKind::kButton:
      return "QPushButton";
    case ControlKind::kCheckBox:
      return "QCheckBox";
    case ControlKind::kRadioButton:
      return "QRadioButton";
    case ControlKind::kProgressBar:
      return "QProgressBar";
    case ControlKind::kListView:
      return "QTreeWidget";
    case ControlKind::kWebBrowser:
      return "QWebEngineView";
  }
  return "";
}

}  // namespace

class StartupTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  // Before start-up the window is its design: every control with its kind, parent, position,
  // caption and visibility.
  void designHasEveryControl() {
    WindowUnderTest t({.start = false});
    QTabWidget* pages = t.widgetAs<QTabWidget>(ctl::高级选择夹1);
    QVERIFY(pages != nullptr);
    for (const ControlSpec& spec : ControlCatalogue()) {
      const QString name = U(spec.name);
      QWidget* widget = t.widget(ControlNameOf(spec.name).value());
      QVERIFY2(widget != nullptr, qPrintable(name));
      QCOMPARE(widget->objectName(), name);
      QVERIFY2(widget->inherits(ClassOf(spec.kind)), qPrintable(name));
      if (spec.kind == ControlKind::kWindow) {
        QVERIFY2(widget->isWindow(), qPrintable(name));
        QCOMPARE(widget->geometry(),
                 QRect(spec.rect.left, spec.rect.top, spec.rect.width, spec.rect.height));
        continue;
      }
      QWidget* parent = widget->parentWidget();
      if (spec.page >= 0) {
        QVERIFY2(parent == pages->widget(spec.page), qPrintable(name));
      } else {
        QVERIFY2(parent != nullptr && parent->objectName() == U(spec.parent), qPrintable(name));
      }
      QCOMPARE(widget->pos(), QPoint(spec.rect.left, spec.rect.top));
      QCOMPARE(widget->width(), spec.rect.width);
      QVERIFY2(widget->isHidden() == !spec.visible, qPrintable(name));
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), U(spec.caption));
      } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(group->title(), U(spec.caption));
      }
    }
    // The tab control's pages begin below its tab bar, so it is that much taller.
    QCOMPARE(pages->height(), 575 + pages->tabBar()->sizeHint().height());
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_调试模式)->text(), QStringLiteral("正则："));
    QCOMPARE(t.widgetAs<QLineEdit>(ctl::编辑框_url)->text(),
             QStringLiteral("http://www.douban.com/login"));
  }

  // The search window is a window of its own that the main window owns: it goes with the main
  // window, and an open search window does not keep the program running once the main window
  // has closed.
  void searchWindowBelongsToTheMainWindow() {
    QPointer<QWidget> search;
    {
      WindowUnderTest t({.start = false});
      search = t.widget(ctl::查找窗口);
      QVERIFY(search != nullptr);
      QVERIFY(search->isWindow());
      QVERIFY(search->isHidden());
      QCOMPARE(search->parentWidget(), &t.window());
      QCOMPARE(search->windowTitle(), QStringLiteral("查找功能："));
      QCOMPARE(search->geometry(), QRect(50, 50, 348, 152));
    }
    QVERIFY(search.isNull());
  }

  void framePagesAndToolbar() {
    WindowUnderTest t;
    QCOMPARE(t.window().geometry(), QRect(50, 50, 940, 667));
    QTabWidget* pages = t.widgetAs<QTabWidget>(ctl::高级选择夹1);
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->tabText(0), QStringLiteral("  第一步：登录   "));
    QCOMPARE(pages->tabText(1), QStringLiteral("    第二步：获取相册   "));
    QCOMPARE(pages->currentIndex(), 0);
    const auto actions = t.widgetAs<QToolBar>(ctl::工具条1)->actions();
    QCOMPARE(actions.size(), 5);
    QCOMPARE(actions[0]->text(), QStringLiteral("一：登录"));
    QVERIFY(actions[1]->isSeparator());
    QCOMPARE(actions[2]->text(), QStringLiteral("二：获取相册"));
    QVERIFY(actions[3]->isSeparator());
    QVERIFY(!actions[4]->isSeparator() && !actions[4]->text().isEmpty());
    auto* list = t.widgetAs<QTreeWidget>(ctl::超级列表框1);
    QCOMPARE(list->columnCount(), 8);
    QCOMPARE(list->headerItem()->text(5), QStringLiteral("相册ID"));
    QCOMPARE(list->iconSize(), QSize(100, 100));
  }

  // Start-up with no settings file: the defaults, and still no file afterwards.
  void defaultsWithoutSettingsFile() {
    WindowUnderTest t;
    const struct {
      ControlName name;
      bool checked;
    } expected[] = {
        {ctl::选择框_下载记录, false}, {ctl::选择框_描述作为文件名, false},
        {ctl::选择框_浏览模式, true},  {ctl::选择框_api模式, false},
        {ctl::单选框_中图, true},      {ctl::单选框_原图, false},
        {ctl::选择框_有图, false},
    };
    for (const auto& e : expected) {
      QVERIFY2(t.controls().Checked(e.name) == e.checked, e.name.CString());
      QVERIFY2(t.widgetAs<QAbstractButton>(e.name)->isChecked() == e.checked, e.name.CString());
    }
    QCOMPARE(t.controls().Caption(ctl::编辑框_正则), Text());
    QVERIFY(!t.settingsFileExists());
  }

  void settingsFileValues_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("pattern");
    const QStringList defaults = {QString::fromUtf8(ctl::选择框_浏览模式.CString()),
                                  QString::fromUtf8(ctl::单选框_中图.CString())};
    QTest::newRow("api mode") << QByteArray("[下载模式]\r\n模式=2\r\n")
                              << QStringList{QString::fromUtf8(ctl::选择框_api模式.CString()),
                                             QString::fromUtf8(ctl::单选框_中图.CString())}
                              << QString();
    QTest::newRow("empty mode and size")
        << QByteArray("[下载模式]\r\n模式=\r\n[图片大小]\r\n大小=\r\n")
        << QStringList{QString::fromUtf8(ctl::选择框_api模式.CString()),
                       QString::fromUtf8(ctl::单选框_原图.CString())}
        << QString();
    QTest::newRow("large pictures")
        << QByteArray("[图片大小]\r\n大小=2\r\n")
        << QStringList{QString::fromUtf8(ctl::选择框_浏览模式.CString()),
                       QString::fromUtf8(ctl::单选框_原图.CString())}
        << QString();
    QTest::newRow("all boxes on")
        << QByteArray("[全局设置]\r\n下载记录=1\r\n描述作为文件名=1\r\n封面图=1\r\n")
        << (defaults + QStringList{QString::fromUtf8(ctl::选择框_下载记录.CString()),
                                   QString::fromUtf8(ctl::选择框_描述作为文件名.CString()),
                                   QString::fromUtf8(ctl::选择框_有图.CString())})
        << QString();
    QTest::newRow("only exactly 1 ticks")
        << QByteArray("[全局设置]\r\n下载记录=yes\r\n描述作为文件名=11\r\n封面图=0\r\n") << defaults
        << QString();
    QTest::newRow("saved pattern") << QByteArray("[正则]\r\n表达式=<a href=\"(.*?)\">\r\n")
                                   << defaults << QStringLiteral("<a href=\"(.*?)\">");
  }

  void settingsFileValues() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, ticked);
    QFETCH(QString, pattern);
    // The file is GBK.
    WindowUnderTest t({.settings = Utf8ToGbk(file.toStdString())});
    for (ControlName box :
         {ctl::选择框_下载记录, ctl::选择框_描述作为文件名, ctl::选择框_浏览模式,
          ctl::选择框_api模式, ctl::单选框_中图, ctl::单选框_原图, ctl::选择框_有图}) {
      const bool expected = ticked.contains(QString::fromUtf8(box.CString()));
      QVERIFY2(t.controls().Checked(box) == expected, box.CString());
      QVERIFY2(t.widgetAs<QAbstractButton>(box)->isChecked() == expected, box.CString());
    }
    QCOMPARE(t.widgetAs<QLineEdit>(ctl::编辑框_正则)->text(), pattern);
    // Loading wrote nothing back.
    QCOMPARE(QByteArray::fromStdString(t.settingsFile()),
             QByteArray::fromStdString(Utf8ToGbk(file.toStdString())));
  }

  void startUpValues() {
    WindowUnderTest t({.settings = Utf8ToGbk("[全局设置]\r\n下载记录=1\r\n")});
    QCOMPARE(t.controls().Caption(ctl::标签_banben), Text(kVersion));
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_banben)->text(), QString::fromLatin1(kVersion));
    // The save folder is the program's folder after every start.
    QCOMPARE(t.controls().Caption(ctl::编辑框_保存位置), t.programDir());
    QCOMPARE(t.widgetAs<QLineEdit>(ctl::编辑框_保存位置)->text(),
             QString::fromStdString(GbkToUtf8(t.programDir())));
    QVERIFY(QDir(QString::fromStdString(GbkToUtf8(t.programDir())) +
                 QStringLiteral("/防止重复下载数据库"))
                .exists());
    auto* list = t.widgetAs<QTreeWidget>(ctl::超级列表框1);
    for (int column : {5, 6, 7}) {
      QCOMPARE(t.controls().ColumnWidth(column), 0);
      QVERIFY(list->isColumnHidden(column));
    }
    QVERIFY(!list->isColumnHidden(2));
    QCOMPARE(t.window().VersionCheckGate(), 1);
  }
};

}  // namespace ak::test

QObject* MakeStartupTests() { return new ak::test::StartupTests; }

#include "startup_test.moc"
