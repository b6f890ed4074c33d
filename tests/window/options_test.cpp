#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include "base/codec.h"
#include "commands/settings.h"
#include "tests/window/window_fixture.h"

namespace ak::test {
namespace {

Text Setting(WindowUnderTest& t, const char* section, const char* key) {
  return ReadSetting(Utf8ToGbk(t.settingsPath()), Gbk(section), Gbk(key), Gbk("absent"));
}

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

class OptionTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void clickWritesItsOption_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("afterFirst");
    QTest::addColumn<QString>("afterSecond");
    QTest::newRow("records") << S(ctl::选择框_下载记录.CString()) << S("全局设置") << S("下载记录")
                             << S("1") << S("0");
    QTest::newRow("descriptions") << S(ctl::选择框_描述作为文件名.CString()) << S("全局设置")
                                  << S("描述作为文件名") << S("1") << S("0");
    QTest::newRow("covers") << S(ctl::选择框_有图.CString()) << S("全局设置") << S("封面图")
                            << S("1") << S("0");
    QTest::newRow("metadata") << S(ctl::选择框_元数据.CString()) << S("存档设置") << S("相册信息")
                              << S("1") << S("0");
    // Browse mode starts ticked: the first click clears it (API mode), the second ticks it.
    QTest::newRow("browse mode") << S(ctl::选择框_浏览模式.CString()) << S("下载模式") << S("模式")
                                 << S("2") << S("1");
    QTest::newRow("api mode") << S(ctl::选择框_api模式.CString()) << S("下载模式") << S("模式")
                              << S("2") << S("1");
    // A radio button stays selected when clicked again.
    QTest::newRow("large") << S(ctl::单选框_原图.CString()) << S("图片大小") << S("大小") << S("2")
                           << S("2");
    QTest::newRow("medium") << S(ctl::单选框_中图.CString()) << S("图片大小") << S("大小") << S("1")
                            << S("1");
    QTest::newRow("original") << S(ctl::单选框_原始尺寸.CString()) << S("接口设置") << S("原始尺寸")
                              << S("1") << S("1");
  }

  void clickWritesItsOption() {
    QFETCH(QString, control);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, afterFirst);
    QFETCH(QString, afterSecond);
    WindowUnderTest t;
    const ControlName name = ControlNameOf(control.toStdString()).value();
    const std::string s = section.toStdString();
    const std::string k = key.toStdString();
    QVERIFY(!t.settingsFileExists());
    t.click(name);
    QCOMPARE(Setting(t, s.c_str(), k.c_str()), Gbk(afterFirst.toUtf8().constData()));
    t.click(name);
    QCOMPARE(Setting(t, s.c_str(), k.c_str()), Gbk(afterSecond.toUtf8().constData()));
  }

  // The two mode boxes are check boxes kept as a pair: exactly one is ticked after any click.
  void modeBoxesStayAPair() {
    WindowUnderTest t;
    t.click(ctl::选择框_api模式);
    QVERIFY(t.controls().Checked(ctl::选择框_api模式));
    QVERIFY(!t.controls().Checked(ctl::选择框_浏览模式));
    QVERIFY(!t.widgetAs<QAbstractButton>(ctl::选择框_浏览模式)->isChecked());
    QCOMPARE(Setting(t, "下载模式", "模式"), Text("2"));
    t.click(ctl::选择框_api模式);
    QVERIFY(!t.controls().Checked(ctl::选择框_api模式));
    QVERIFY(t.controls().Checked(ctl::选择框_浏览模式));
    QVERIFY(t.widgetAs<QAbstractButton>(ctl::选择框_浏览模式)->isChecked());
    QCOMPARE(Setting(t, "下载模式", "模式"), Text("1"));
  }

  void radioPairSwitches() {
    WindowUnderTest t;
    t.click(ctl::单选框_原图);
    QVERIFY(t.controls().Checked(ctl::单选框_原图));
    QVERIFY(!t.controls().Checked(ctl::单选框_中图));
    QVERIFY(!t.widgetAs<QAbstractButton>(ctl::单选框_中图)->isChecked());
    // The third size is one of the same group.
    t.click(ctl::单选框_原始尺寸);
    QVERIFY(t.controls().Checked(ctl::单选框_原始尺寸));
    QVERIFY(!t.controls().Checked(ctl::单选框_原图));
    QVERIFY(!t.widgetAs<QAbstractButton>(ctl::单选框_原图)->isChecked());
    t.click(ctl::单选框_中图);
    QVERIFY(!t.controls().Checked(ctl::单选框_原始尺寸));
    QCOMPARE(Setting(t, "接口设置", "原始尺寸"), Text("0"));
  }

  // Typing a pattern writes nothing; the save button stores it and the next start shows it.
  void patternIsStoredBySaveOnly() {
    const QString pattern = QStringLiteral("<a href=\"(.*?)\">相册");
    std::string settings;
    {
      WindowUnderTest t;
      auto* edit = t.widgetAs<QLineEdit>(ctl::编辑框_正则);
      TypeText(edit, pattern);
      t.settle();
      QCOMPARE(t.controls().Caption(ctl::编辑框_正则), Utf8ToGbk(pattern.toStdString()));
      QVERIFY(!t.settingsFileExists());
      t.click(ctl::按钮_保存);
      QCOMPARE(Setting(t, "正则", "表达式"), Utf8ToGbk(pattern.toStdString()));
      // Emptied and saved again: the empty text is stored.
      edit->clear();
      QTest::keyClick(edit, Qt::Key_A);
      QTest::keyClick(edit, Qt::Key_Backspace);
      t.settle();
      t.click(ctl::按钮_保存);
      QCOMPARE(Setting(t, "正则", "表达式"), Text());
      QTest::keyClicks(edit, QStringLiteral("unsaved"));
      t.settle();
      settings = t.settingsFile();
    }
    WindowUnderTest next({.settings = settings});
    QCOMPARE(next.widgetAs<QLineEdit>(ctl::编辑框_正则)->text(), QString());
  }

  void savedPatternComesBack() {
    std::string settings;
    {
      WindowUnderTest t;
      TypeText(t.widgetAs<QLineEdit>(ctl::编辑框_正则), QStringLiteral("(\\d+)张"));
      t.settle();
      t.click(ctl::按钮_保存);
      settings = t.settingsFile();
    }
    WindowUnderTest next({.settings = settings});
    QCOMPARE(next.widgetAs<QLineEdit>(ctl::编辑框_正则)->text(), QStringLiteral("(\\d+)张"));
  }
};

}  // namespace ak::test

QObject* MakeOptionTests() { return new ak::test::OptionTests; }

#include "options_test.moc"
