// The album list's commands and the album search over the controls model.

#include "albums/album_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "albums/album_search.h"
#include "base/codec.h"
#include "controls/headless_view.h"

namespace ak::test {
namespace {

class AlbumListTest : public ::testing::Test {
 protected:
  AlbumListTest() : view_(std::make_shared<HeadlessView>(controls_, log_)) {
    controls_.Attach(view_);
  }

  // One row per name (UTF-8), each ticked as given.
  void Fill(const std::vector<std::string>& names, const std::vector<bool>& ticks = {}) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      const int row =
          AppendAlbumRow(controls_, Utf8ToGbk(names[i]), "addr" + std::to_string(i), nullptr);
      if (i < ticks.size()) controls_.SetRowChecked(row, ticks[i]);
    }
  }
  std::vector<bool> Ticks() const {
    std::vector<bool> ticks;
    for (int row = 0; row < controls_.RowCount(); ++row) ticks.push_back(controls_.RowChecked(row));
    return ticks;
  }
  // The user clicks a check box above the list.
  void Click(ControlName box, bool checkedAfter, void (*command)(Controls&)) {
    controls_.SetChecked(box, checkedAfter, Origin::kView);
    command(controls_);
  }
  std::vector<Text> Messages() const { return view_->Messages(); }
  Text RowLabel() const { return controls_.Caption(ctl::标签_行位置); }

  Controls controls_;
  std::ostringstream log_;
  std::shared_ptr<HeadlessView> view_;
  AlbumSearchState search_;
};

TEST_F(AlbumListTest, RowsAreNumberedTickedAndCarryNameAndAddress) {
  const auto cover = std::make_shared<CoverImage>();
  AppendAlbumRow(controls_, "a", "http://x/1/", nullptr);
  EXPECT_EQ(controls_.ColumnWidth(kColumnCover), 0);
  AppendAlbumRow(controls_, "b", "http://x/2/", cover);
  EXPECT_EQ(controls_.ColumnWidth(kColumnCover), 100);
  const ControlsState state = view_->State();
  ASSERT_EQ(state.Rows().size(), 2u);
  EXPECT_EQ(state.Rows()[1].cells[kColumnNumber], "2");
  EXPECT_EQ(state.Rows()[1].cells[kColumnName], "b");
  EXPECT_EQ(state.Rows()[1].cells[kColumnAddress], "http://x/2/");
  EXPECT_TRUE(state.Rows()[1].checked);
  EXPECT_EQ(state.Rows()[1].cover, cover);
  EXPECT_EQ(state.Rows()[0].cover, nullptr);
}

TEST_F(AlbumListTest, SelectAllTicksEveryRowAndClearsInvert) {
  Fill({"a", "b", "c"}, {false, true, false});
  controls_.SetChecked(ctl::选择框_反选, true);
  Click(ctl::选择框_全选, true, SelectAllClicked);
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(controls_.Checked(ctl::选择框_反选));
  // Clearing the box leaves the ticks.
  controls_.SetRowChecked(1, false);
  Click(ctl::选择框_全选, false, SelectAllClicked);
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true}));
}

TEST_F(AlbumListTest, InvertFlipsEveryRowAndClearsSelectAll) {
  Fill({"a", "b", "c", "d"}, {true, false, true, false});
  controls_.SetChecked(ctl::选择框_全选, true);
  Click(ctl::选择框_反选, true, InvertClicked);
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false, true}));
  EXPECT_FALSE(controls_.Checked(ctl::选择框_全选));
  Click(ctl::选择框_反选, false, InvertClicked);
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false, true}));
  Click(ctl::选择框_反选, true, InvertClicked);
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(AlbumListTest, OnAnEmptyListOnlyTheOtherBoxIsCleared) {
  controls_.SetChecked(ctl::选择框_反选, true);
  Click(ctl::选择框_全选, true, SelectAllClicked);
  EXPECT_FALSE(controls_.Checked(ctl::选择框_反选));
  Click(ctl::选择框_反选, true, InvertClicked);
  EXPECT_FALSE(controls_.Checked(ctl::选择框_全选));
  EXPECT_EQ(controls_.RowCount(), 0);
}

TEST_F(AlbumListTest, ToggledRowBecomesTheSelectedRow) {
  Fill({"a", "b", "c"});
  controls_.SetRowChecked(2, false, Origin::kView);
  RowTickToggled(controls_, 2);
  EXPECT_EQ(controls_.SelectedRow(), 2);
  EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false}));
}

TEST(AlbumNameMatchesTest, LettersWithoutCaseCharactersWhole) {
  EXPECT_TRUE(AlbumNameMatches("xABCy", "abc"));
  EXPECT_TRUE(AlbumNameMatches(AK_GBK("旅行2015"), AK_GBK("行2")));
  EXPECT_TRUE(AlbumNameMatches("a", ""));
  EXPECT_FALSE(AlbumNameMatches("", ""));
  // 運 is B9 5C in GBK: its trail byte is no backslash to find.
  EXPECT_FALSE(AlbumNameMatches(AK_GBK("運"), "\\"));
  // A keyword made of one character's trail byte and the next one's lead byte does not match.
  const Text two = AK_GBK("旅行");
  EXPECT_FALSE(AlbumNameMatches(two, two.substr(1, 2)));
}

TEST_F(AlbumListTest, FindAndNextWalkTheHitsThenStartOver) {
  Fill({"x", "y", "abc 1", "z", "w", "ABC 2", "v"});
  controls_.SetCaption(ctl::编辑框1, "abc");
  FindAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 2);
  EXPECT_EQ(controls_.SelectedRow(), 2);
  EXPECT_EQ(view_->State().ShownRow(), 2);
  EXPECT_EQ(RowLabel(), AK_GBK("第3行"));
  FindNextAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 5);
  EXPECT_EQ(RowLabel(), AK_GBK("第6行"));
  FindNextAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, -1);
  EXPECT_EQ(Messages(), std::vector<Text>{AK_GBK("没有了")});
  EXPECT_EQ(RowLabel(), AK_GBK("第6行"));  // kept after a miss
  FindNextAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 2);
  EXPECT_EQ(search_.searchKeyword, "abc");
}

TEST_F(AlbumListTest, PreviousStartsFromTheBottomAfterAMiss) {
  Fill({"abc 0", "x", "y", "z", "w", "abc 5", "v"});
  controls_.SetCaption(ctl::编辑框1, "abc");
  search_.currentFoundRow = -1;
  FindPreviousAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 5);
  FindPreviousAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 0);
  EXPECT_EQ(RowLabel(), AK_GBK("第1行"));
  FindPreviousAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, -1);
  EXPECT_EQ(Messages(), std::vector<Text>{AK_GBK("没有了")});
  // Previous reads the box but does not keep the keyword.
  EXPECT_EQ(search_.searchKeyword, "");
}

TEST_F(AlbumListTest, FirstSearchesBeforeAnyFind) {
  Fill({"abc 0", "abc 1"});
  controls_.SetCaption(ctl::编辑框1, "abc");
  // The search starts at row 0: "next" begins at row 1, "previous" finds nothing.
  AlbumSearchState fresh;
  FindNextAlbum(controls_, fresh);
  EXPECT_EQ(fresh.currentFoundRow, 1);
  AlbumSearchState other;
  FindPreviousAlbum(controls_, other);
  EXPECT_EQ(other.currentFoundRow, -1);
  EXPECT_EQ(Messages(), std::vector<Text>{AK_GBK("没有了")});
}

TEST_F(AlbumListTest, FindMissSaysWhatWasSoughtAndLeavesTheCurrentRow) {
  Fill({"a", "b"});
  controls_.SelectRow(1);
  controls_.SetCaption(ctl::编辑框1, Utf8ToGbk("夏天"));
  FindAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, -1);
  EXPECT_EQ(controls_.SelectedRow(), 1);
  EXPECT_EQ(Messages(), std::vector<Text>{AK_GBK("未找到名称包含关键词：夏天的相册")});
}

TEST_F(AlbumListTest, EmptyKeywordFindsTheFirstNamedRow) {
  Fill({"", "", "named"});
  controls_.SetCaption(ctl::编辑框1, "");
  FindAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 2);
}

TEST_F(AlbumListTest, AFoundRowBeyondAShorterListFindsNothingBelowIt) {
  Fill({"abc"});
  controls_.SetCaption(ctl::编辑框1, "abc");
  search_.currentFoundRow = 40;  // left from a longer list
  FindNextAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, -1);
  search_.currentFoundRow = 40;
  FindPreviousAlbum(controls_, search_);
  EXPECT_EQ(search_.currentFoundRow, 0);
}

}  // namespace
}  // namespace ak::test
