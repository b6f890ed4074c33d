#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include "base/codec.h"
#include "tests/window/window_fixture.h"

namespace ak::test {
namespace {

// Waits until the listing has written its closing line.
bool WaitForListing(WindowUnderTest& t) {
  return QTest::qWaitFor(
      [&] {
        t.settle();
        return t.controls().Log().find(Gbk("-----获取完毕")) != Text::npos &&
               t.widget(ctl::按钮_获取相册封面)->isEnabled();
      },
      20000);
}

}  // namespace

class AlbumListTests : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void albumButtonListsThePersonsAlbumsWithCovers() {
    WindowUnderTest t;
    t.controls().SetCurrentIndex(kPages, 1);
    auto* address = t.widgetAs<QLineEdit>(ctl::编辑框_号码);
    address->setFocus();
    TypeText(address, QStringLiteral("http://www.douban.com/people/ahua/"));
    if (!t.widgetAs<QAbstractButton>(ctl::选择框_有图)->isChecked()) t.click(ctl::选择框_有图);
    t.click(ctl::按钮_获取相册封面);
    QVERIFY(WaitForListing(t));
    auto* list = t.window().Widgets().albumList;
    QCOMPARE(list->topLevelItemCount(), 20);
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("1"));
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("旅行2015夏天"));
    QCOMPARE(list->topLevelItem(19)->text(5),
             QStringLiteral("http://www.douban.com/photos/album/1620000020/"));
    for (int row = 0; row < 20; ++row) {
      QCOMPARE(list->topLevelItem(row)->checkState(0), Qt::Checked);
      QVERIFY(!list->topLevelItem(row)->icon(3).isNull());
    }
    QVERIFY(!list->isColumnHidden(3));
    QCOMPARE(list->columnWidth(3), 100);
    for (int column : {4, 5, 6, 7}) QVERIFY(list->isColumnHidden(column));
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_动态)->text(),
             QStringLiteral("相册列表获取完毕,共计20个"));
  }

  void selectAllInvertAndSearchFromTheWindow() {
    WindowUnderTest t;
    t.controls().SetCurrentIndex(kPages, 1);
    t.controls().SetCaption(ctl::编辑框_号码, Gbk("http://www.douban.com/people/ahua/"));
    if (t.widgetAs<QAbstractButton>(ctl::选择框_有图)->isChecked()) t.click(ctl::选择框_有图);
    t.click(ctl::按钮_获取相册封面);
    QVERIFY(WaitForListing(t));
    auto* list = t.window().Widgets().albumList;
    QVERIFY(list->isColumnHidden(3));
    t.click(ctl::选择框_反选);
    QCOMPARE(list->topLevelItem(7)->checkState(0), Qt::Unchecked);
    QVERIFY(!t.controls().RowChecked(7));
    t.click(ctl::选择框_全选);
    QVERIFY(!t.widgetAs<QAbstractButton>(ctl::选择框_反选)->isChecked());
    QCOMPARE(list->topLevelItem(7)->checkState(0), Qt::Checked);

    // The search window opens without blocking the main window.
    t.click(ctl::标签_查找);
    QWidget* search = t.window().Widgets().searchWindow;
    QVERIFY(search->isVisible());
    QVERIFY(!search->isModal());
    auto* keyword = t.widgetAs<QLineEdit>(ctl::编辑框1);
    keyword->setFocus();
    TypeText(keyword, QStringLiteral("第二页"));
    t.click(ctl::按钮_查找);
    QCOMPARE(list->currentItem(), list->topLevelItem(16));
    QCOMPARE(t.widgetAs<QLabel>(ctl::标签_行位置)->text(), QStringLiteral("第17行"));
    t.click(ctl::按钮_查找下一个);
    QCOMPARE(list->currentItem(), list->topLevelItem(17));
    t.click(ctl::按钮_查找上一个);
    QCOMPARE(list->currentItem(), list->topLevelItem(16));
  }

  void emptyAddressIsRefusedWithAMessage() {
    WindowUnderTest t;
    t.click(ctl::按钮_获取相册封面);
    const auto boxes = t.window().findChildren<QMessageBox*>(QStringLiteral("信息框"));
    QCOMPARE(boxes.size(), qsizetype{1});
    QCOMPARE(boxes[0]->text(), QStringLiteral("请输入网址"));
    QCOMPARE(boxes[0]->windowTitle(), QStringLiteral("信息："));
    boxes[0]->close();
  }
};

}  // namespace ak::test

QObject* MakeAlbumListTests() { return new ak::test::AlbumListTests; }

#include "album_list_test.moc"
