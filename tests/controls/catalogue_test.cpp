#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/codec.h"
#include "controls/control_catalogue.h"
#include "controls/controls.h"

namespace ak {
namespace {

TEST(ControlCatalogue, NamesAreUniqueAndParentsComeFirst) {
  std::set<std::string_view> seen;
  for (const ControlSpec& spec : ControlCatalogue()) {
    EXPECT_TRUE(seen.insert(spec.name).second) << spec.name;
    if (spec.kind == ControlKind::kWindow) {
      EXPECT_TRUE(spec.parent.empty()) << spec.name;
      continue;
    }
    EXPECT_TRUE(seen.contains(spec.parent)) << spec.name << " on " << spec.parent;
    // Only the tab control's own children say which page they sit on.
    EXPECT_EQ(spec.page >= 0, spec.parent == kPages) << spec.name;
  }
  for (ControlName name :
       {kMainWindow, kSearchWindow, kPages, kToolbar, kAlbumList, kLogBox, kBrowser}) {
    EXPECT_NE(FindControlSpec(name), nullptr) << name;
  }
  EXPECT_EQ(FindControlSpec("按钮_没有这个"), nullptr);
}

TEST(ControlCatalogue, DesignStateHoldsGbkCaptionsAndTheHost) {
  Controls controls("photos.example");
  EXPECT_EQ(controls.Caption(ctl::按钮_下载选中), Utf8ToGbk("3：下载选中"));
  EXPECT_EQ(controls.Caption(ctl::编辑框_url), "http://photos.example/login");
  const Text help = controls.Caption(ctl::标签10);
  EXPECT_NE(help.find("http://photos.example/people/"), std::string::npos);
  EXPECT_NE(help.find("http://photos.example/photos/album/"), std::string::npos);
  EXPECT_EQ(help.find("{host}"), std::string::npos);
  EXPECT_EQ(help.rfind(Utf8ToGbk("换Ip一般就能解决！")),
            help.size() - Utf8ToGbk("换Ip一般就能解决！").size());

  // Hidden at design: the three download-state buttons, the album-page button, the canvas and
  // the search window.
  for (ControlName name : {ctl::按钮_暂停线程, ctl::按钮_继续下载, ctl::按钮_结束下载,
                           ctl::按钮_专辑页面, ctl::画板1, ctl::查找窗口}) {
    EXPECT_FALSE(controls.Visible(name)) << name;
  }
  EXPECT_TRUE(controls.Visible(ctl::按钮_下载选中));
  EXPECT_EQ(controls.Geometry(kMainWindow), (ControlRect{50, 50, 940, 667}));
  EXPECT_EQ(controls.Geometry(ctl::工具条1), (ControlRect{0, -1, 934, 57}));

  const int widths[kAlbumListColumns] = {60, 40, 120, 100, 70, 80, 80, 80};
  for (int column = 0; column < kAlbumListColumns; ++column) {
    EXPECT_EQ(controls.ColumnWidth(column), widths[column]) << column;
  }
  EXPECT_EQ(controls.ColumnWidth(kAlbumListColumns), 0);
}

TEST(ControlCatalogue, ToolbarAndPages) {
  const auto items = ToolbarItemCaptions();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0], "一：登录");
  EXPECT_TRUE(items[1].empty());
  EXPECT_EQ(items[2], "二：获取相册");
  EXPECT_TRUE(items[3].empty());
  EXPECT_FALSE(items[4].empty());
  const auto pages = PageCaptions();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0], "  第一步：登录   ");
  EXPECT_EQ(pages[1], "    第二步：获取相册   ");
}

// Names read at run time (widget object names) are looked up in the catalogue; a name it does
// not have gives nothing, and a name the model does not hold ends the program in every build.
TEST(ControlNames, RuntimeNamesAreCheckedAgainstTheCatalogue) {
  for (const ControlSpec& spec : ControlCatalogue()) {
    const std::optional<ControlName> name = ControlNameOf(spec.name);
    ASSERT_TRUE(name.has_value()) << spec.name;
    EXPECT_EQ(name->View(), spec.name);
  }
  EXPECT_FALSE(ControlNameOf("按钮_没有这个").has_value());
  EXPECT_FALSE(ControlNameOf("").has_value());
  EXPECT_EQ(*ControlNameOf("超级列表框1"), kAlbumList);
}

TEST(ControlNamesDeathTest, AnUnknownNameEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Controls controls;
  const ControlName forged(ControlName::Tag{}, "按钮_没有这个");
  EXPECT_DEATH(controls.SetCaption(forged, "x"), "no control named");
  EXPECT_DEATH((void)controls.Caption(forged), "no control named");
}

}  // namespace
}  // namespace ak
