// The whole window end to end against the test double: a person's albums listed through the
// album button, downloaded through the download button into a folder, the closing message
// answered, the pictures on the disk.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "base/codec.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"
#include "tests/window/window_fixture.h"
#include "tests/window/window_suites.h"

namespace ak::test {
namespace {

// The visible message box of the program with this text, or null.
QMessageBox* MessageBoxSaying(const QString& text) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box != nullptr && box->isVisible() && box->objectName() == QStringLiteral("信息框") &&
        box->text() == text) {
      return box;
    }
  }
  return nullptr;
}

}  // namespace

class SmokeTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void listAndDownloadThroughTheButtons() {
    if (SharedDouble() == nullptr) QFAIL("the service test double did not start");
    SharedDouble()->ExportEnvironment();
    ReloadServiceConfig();
    QTemporaryDir save;
    QVERIFY(save.isValid());
    WindowUnderTest t;
    QVERIFY(t.window().isVisible());

    // The album page: a person's address typed, the album button pressed.
    t.controls().SetCurrentIndex(kPages, 1);
    t.settle();
    auto* address = t.widgetAs<QLineEdit>(ctl::编辑框_号码);
    address->setFocus();
    TypeText(address, QStringLiteral("http://www.douban.com/people/xiaoming/"));
    t.click(ctl::按钮_获取相册封面);
    QVERIFY(QTest::qWaitFor(
        [&] {
          t.settle();
          return t.controls().Log().find(Gbk("-----获取完毕")) != Text::npos &&
                 t.widget(ctl::按钮_获取相册封面)->isEnabled();
        },
        20000));
    auto* list = t.window().Widgets().albumList;
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("日常"));

    // Medium pictures by the album pages, into the chosen folder; only the first album.
    t.chooserAnswer = Utf8ToGbk(save.path().toStdString());
    t.click(ctl::按钮_选择位置);
    QCOMPARE(t.widgetAs<QLineEdit>(ctl::编辑框_保存位置)->text(), save.path());
    if (!t.widgetAs<QAbstractButton>(ctl::单选框_中图)->isChecked()) t.click(ctl::单选框_中图);
    if (!t.widgetAs<QAbstractButton>(ctl::选择框_浏览模式)->isChecked()) {
      t.click(ctl::选择框_浏览模式);
    }
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    t.settle();
    QVERIFY(!t.controls().RowChecked(1));
    t.click(ctl::按钮_下载选中);

    // The batch ends with its message; answering it lets the worker finish.
    QMessageBox* done = nullptr;
    QVERIFY(QTest::qWaitFor(
        [&] {
          t.settle();
          done = MessageBoxSaying(QStringLiteral("全部下载完毕"));
          return done != nullptr;
        },
        30000));
    QCOMPARE(done->windowTitle(), QStringLiteral("信息："));
    QTest::mouseClick(done->button(QMessageBox::Ok), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor(
        [&] {
          t.settle();
          return !t.window().Commands().batch.Running();
        },
        20000));
    t.window().Commands().batch.Wait();
    t.settle();
    QVERIFY(t.widget(ctl::按钮_下载选中)->isVisible());

    // Three whole JPEG pictures of the first album, nothing of the second.
    QStringList pictures;
    QDirIterator it(save.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) pictures << QDir(save.path()).relativeFilePath(it.next());
    pictures.sort();
    QCOMPARE(pictures, (QStringList{QStringLiteral("小明的主页/日常3/1__.jpg"),
                                    QStringLiteral("小明的主页/日常3/2__.jpg"),
                                    QStringLiteral("小明的主页/日常3/3__.jpg")}));
    for (const QString& picture : pictures) {
      QFile file(save.filePath(picture));
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QByteArray bytes = file.readAll();
      QVERIFY(bytes.startsWith("\xFF\xD8\xFF"));
      QVERIFY(bytes.endsWith("\xFF\xD9"));
    }
  }
};

}  // namespace ak::test

QObject* MakeSmokeTests() { return new ak::test::SmokeTests; }

#include "smoke_test.moc"
