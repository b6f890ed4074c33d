#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/codec.h"
#include "controls/controls.h"
#include "controls/headless_view.h"

namespace ak {
namespace {

// A view that only counts notifications and leaves the changes queued, so tests can look at them.
class CollectingView : public ControlsView {
 public:
  void Attached(const ControlsState&) override { ++attached; }
  void ChangesPending() override { ++pending; }
  std::atomic<int> attached{0};
  std::atomic<int> pending{0};
};

TEST(Controls, ChangesAreQueuedOnlyWhileAViewIsAttached) {
  Controls controls;
  controls.SetCaption(ctl::标签_动态, "a");
  EXPECT_TRUE(controls.TakeChanges().empty());

  auto view = std::make_shared<CollectingView>();
  controls.Attach(view);
  EXPECT_EQ(view->attached, 1);
  controls.SetCaption(ctl::标签_动态, "b");
  controls.SetChecked(ctl::选择框_有图, true, Origin::kView);
  const auto changes = controls.TakeChanges();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].kind, ChangeKind::kCaption);
  EXPECT_EQ(changes[0].text, "b");
  EXPECT_FALSE(changes[0].fromView);
  EXPECT_EQ(changes[1].kind, ChangeKind::kChecked);
  EXPECT_TRUE(changes[1].fromView);
  EXPECT_LT(changes[0].sequence, changes[1].sequence);
  EXPECT_EQ(view->pending, 2);

  controls.Detach();
  controls.SetCaption(ctl::标签_动态, "c");
  EXPECT_TRUE(controls.TakeChanges().empty());
  EXPECT_EQ(controls.Caption(ctl::标签_动态), "c");
}

TEST(Controls, ChangesToMissingRowsOrColumnsDoNothing) {
  Controls controls;
  auto view = std::make_shared<CollectingView>();
  controls.Attach(view);
  controls.SetCell(0, 2, "x");
  controls.SetRowChecked(3, true);
  controls.SelectRow(-1);
  EXPECT_EQ(controls.AppendRow(), 0);
  controls.SetCell(0, kAlbumListColumns, "x");
  controls.SetColumnWidth(-1, 5);
  const auto changes = controls.TakeChanges();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].kind, ChangeKind::kRowAppended);
  EXPECT_EQ(controls.Cell(0, 2), "");
  EXPECT_EQ(controls.Cell(7, 2), "");
  EXPECT_FALSE(controls.RowChecked(7));
  EXPECT_EQ(controls.RowCover(7), nullptr);
}

TEST(Controls, ListRowsKeepTheirCellsTicksAndCovers) {
  Controls controls;
  for (int i = 0; i < 3; ++i) {
    const int row = controls.AppendRow();
    EXPECT_EQ(row, i);
    controls.SetCell(row, 1, std::to_string(row + 1));
    controls.SetRowChecked(row, row != 1);
  }
  auto cover = std::make_shared<CoverImage>();
  cover->width = cover->height = 2;
  cover->rgba.assign(16, 0xFF);
  controls.SetRowCover(2, cover);
  EXPECT_EQ(controls.RowCount(), 3);
  EXPECT_EQ(controls.Cell(2, 1), "3");
  EXPECT_TRUE(controls.RowChecked(0));
  EXPECT_FALSE(controls.RowChecked(1));
  EXPECT_EQ(controls.RowCover(2), cover);
  controls.SelectRow(2);
  EXPECT_EQ(controls.SelectedRow(), 2);
  controls.ClearRows();
  EXPECT_EQ(controls.RowCount(), 0);
  EXPECT_EQ(controls.SelectedRow(), -1);
  EXPECT_EQ(controls.AppendRow(), 0);
}

TEST(Controls, TickingARadioButtonClearsTheOtherOfItsGroupOnly) {
  Controls controls;
  controls.SetChecked(ctl::单选框_中图, true);
  controls.SetChecked(ctl::选择框_下载记录, true);
  controls.SetChecked(ctl::单选框_原图, true);
  EXPECT_FALSE(controls.Checked(ctl::单选框_中图));
  EXPECT_TRUE(controls.Checked(ctl::单选框_原图));
  EXPECT_TRUE(controls.Checked(ctl::选择框_下载记录));
  // Clearing one leaves the other as it is, as the window's own setter does.
  controls.SetChecked(ctl::单选框_原图, false);
  EXPECT_FALSE(controls.Checked(ctl::单选框_中图));
}

TEST(Controls, TheLogOnlyGrows) {
  Controls controls;
  controls.AppendLog("one\r\n\r\n");
  controls.AppendLog("two\r\n\r\n");
  EXPECT_EQ(controls.Log(), "one\r\n\r\ntwo\r\n\r\n");
  EXPECT_EQ(controls.Caption(kLogBox), controls.Log());
}

TEST(Controls, GeometryHelpersChangeOneSide) {
  Controls controls;
  controls.SetWidth(ctl::编辑框_url, 624);
  controls.SetLeft(ctl::按钮_打开, 700);
  EXPECT_EQ(controls.Geometry(ctl::编辑框_url), (ControlRect{12, 28, 624, 28}));
  EXPECT_EQ(controls.Geometry(ctl::按钮_打开), (ControlRect{700, 26, 93, 32}));
}

TEST(Controls, AttachingHandsTheCurrentStateToTheView) {
  Controls controls;
  controls.SetCaption(ctl::标签_banben, "2.0");
  controls.AppendRow();
  std::ostringstream out;
  auto view = std::make_shared<HeadlessView>(controls, out);
  controls.Attach(view);
  EXPECT_EQ(view->State().Find(ctl::标签_banben)->caption, "2.0");
  EXPECT_EQ(view->State().Rows().size(), 1u);
}

}  // namespace
}  // namespace ak
