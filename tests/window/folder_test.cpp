#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "base/codec.h"
#include "download/ensure_folder.h"
#include "tests/window/window_fixture.h"

namespace ak::test {
class FolderTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void chooseFolderShowsTheChoice() {
    WindowUnderTest t;
    t.chooserAnswer = Gbk("/srv/相册");
    t.click(ctl::按钮_选择位置);
    QCOMPARE(t.chooserCalls.size(), size_t{1});
    QCOMPARE(t.chooserCalls[0].first, Gbk("选择相册的存放位置"));
    // The dialog starts at the root whatever the box holds.
    QCOMPARE(t.chooserCalls[0].second, Text("/"));
    QCOMPARE(t.widgetAs<QLineEdit>(ctl::编辑框_保存位置)->text(), QStringLiteral("/srv/相册"));
    // Cancelled: the program's folder, not the folder shown before.
    t.chooserAnswer.clear();
    t.click(ctl::按钮_选择位置);
    QCOMPARE(t.controls().Caption(ctl::编辑框_保存位置), t.programDir());
    QCOMPARE(t.chooserCalls[1].second, Text("/"));
  }

  // The real dialog opens at the file-system root; cancelling it gives the program's folder.
  void realDialogStartsAtTheRoot() {
    WindowUnderTest t({.realFolderDialog = true});
    t.controls().SetCaption(ctl::编辑框_保存位置, "/tmp");
    t.settle();
    QString shownDirectory;
    QString title;
    QTimer::singleShot(0, [&] {
      if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000)) {
        return;
      }
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        shownDirectory = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        dialog->reject();
      }
    });
    t.click(ctl::按钮_选择位置);
    QCOMPARE(shownDirectory, QDir::rootPath());
    QCOMPARE(title, QStringLiteral("选择相册的存放位置"));
    QCOMPARE(t.controls().Caption(ctl::编辑框_保存位置), t.programDir());
  }

  void openFolderOpensTheSaveFolder() {
    WindowUnderTest t;
    t.controls().SetCaption(ctl::编辑框_保存位置, Gbk("/data/图片"));
    t.settle();
    t.click(ctl::按钮_打开目录);
    auto* box = t.widgetAs<QLineEdit>(ctl::编辑框_保存位置);
    box->clear();
    QTest::keyClick(box, Qt::Key_X);
    QTest::keyClick(box, Qt::Key_Backspace);
    t.settle();
    t.click(ctl::按钮_打开目录);
    QCOMPARE(t.openedFolders.size(), size_t{2});
    QCOMPARE(t.openedFolders[0], Gbk("/data/图片"));
    // An empty box opens the program's folder.
    QCOMPARE(t.openedFolders[1], t.programDir());
  }

  void ensureFolderCreatesEveryLevel() {
    QTemporaryDir root;
    const Text base = Utf8ToGbk(root.path().toStdString());
    Text path = base + Gbk("/相册a/b");
    QVERIFY(EnsureFolder(path));
    QCOMPARE(path, base + Gbk("/相册a/b/"));
    QVERIFY(QDir(root.path() + QStringLiteral("/相册a/b")).exists());
    // Existing, and already ending in a separator: success, path unchanged.
    QVERIFY(EnsureFolder(path));
    QCOMPARE(path, base + Gbk("/相册a/b/"));
    // A level that is a file cannot become a folder.
    QFile file(root.path() + QStringLiteral("/plain"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Text blocked = base + "/plain/sub";
    QVERIFY(!EnsureFolder(blocked));
    QCOMPARE(blocked, base + "/plain/sub/");
  }

  // A name may end in a double-byte character whose second byte is the backslash code (0x5C),
  // as 琝 (0xAC 0x5C) does: that is part of the name, not a separator, so one is appended and
  // a file name added by the caller lands inside the folder.
  void ensureFolderAppendsAfterTrailByteBackslash() {
    QTemporaryDir root;
    const Text base = Utf8ToGbk(root.path().toStdString());
    const Text name = Gbk("相册琝");
    QCOMPARE(name.back(), '\\');
    Text path = base + "/" + name;
    QVERIFY(EnsureFolder(path));
    QCOMPARE(path, base + "/" + name + "/");
    QVERIFY(QDir(root.path() + QStringLiteral("/相册琝")).exists());
  }
};

}  // namespace ak::test

QObject* MakeFolderTests() { return new ak::test::FolderTests; }

#include "folder_test.moc"
