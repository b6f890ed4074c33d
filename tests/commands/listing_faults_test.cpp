// The listing when covers break and pages are slow: the placeholder stands in for a cover that
// cannot be fetched or decoded, one listing runs at a time, and a stop ends a listing at once.

#include <gtest/gtest.h>

#include "albums/album_list.h"
#include "albums/cover_picture.h"
#include "tests/commands/listing_fixture.h"

namespace ak::test {
namespace {

const std::string kCoverPath = "/view/photo/albumcover/public/p";

class BrokenCoversTest : public ListingTest {
 protected:
  // Album 2's cover is cut off half-way, album 4's comes empty; album 5 has none.
  static void SetUpTestSuite() {
    StartDouble({"--cut-off", kCoverPath + "16200000020001.jpg", "--empty-first", "1000",
                 "--empty-match", kCoverPath + "16200000040001.jpg"});
  }
};

TEST_F(BrokenCoversTest, BrokenCoverShowsThePlaceholderNotTheAlbumBefore) {
  ASSERT_EQ(List("http://www.douban.com/people/ahua/", true), GetAlbumsOutcome::kStarted);
  const ControlsState state = State();
  ASSERT_EQ(state.Rows().size(), 20u);
  for (int row = 0; row < 20; ++row) {
    const bool placeholder = row == 1 || row == 3 || row == 4;
    ASSERT_NE(state.Rows()[row].cover, nullptr) << row;
    EXPECT_EQ(state.Rows()[row].cover == PlaceholderCover(), placeholder) << row;
  }
  EXPECT_NE(state.Rows()[1].cover, state.Rows()[0].cover);
  EXPECT_EQ(Cell(1, kColumnName), "春天上樱花");
}

class SlowListingTest : public ListingTest {
 protected:
  static void SetUpTestSuite() {
    StartDouble({"--slow-ms", "400", "--slow-match", "/people/ahua/photos"});
  }
};

TEST_F(SlowListingTest, OneListingAtATimeWithTheButtonDisabled) {
  controls_.SetCaption(ctl::编辑框_号码, "http://www.douban.com/people/ahua/");
  ASSERT_EQ(GetAlbumsCommand(ctx_), GetAlbumsOutcome::kStarted);
  EXPECT_FALSE(controls_.Enabled(ctl::按钮_获取相册封面));
  // A second press, even with another address, starts nothing.
  controls_.SetCaption(ctl::编辑框_号码, "http://www.douban.com/people/xiaoming/");
  EXPECT_EQ(GetAlbumsCommand(ctx_), GetAlbumsOutcome::kBusy);
  ctx_.listing.Wait();
  EXPECT_TRUE(controls_.Enabled(ctl::按钮_获取相册封面));
  EXPECT_EQ(State().Rows().size(), 20u);
  EXPECT_EQ(ctx_.source.Get().id, "ahua");
  for (const std::string& line : RequestLines()) {
    EXPECT_EQ(line.find("xiaoming"), std::string::npos) << line;
  }
  EXPECT_TRUE(view_->Messages().empty());
}

TEST_F(SlowListingTest, StopEndsTheWalkWithoutItsClosingTexts) {
  controls_.SetCaption(ctl::编辑框_号码, "http://www.douban.com/people/ahua/");
  ASSERT_EQ(GetAlbumsCommand(ctx_), GetAlbumsOutcome::kStarted);
  ctx_.listing.Stop();
  ctx_.listing.Wait();
  EXPECT_EQ(State().Rows().size(), 0u);
  EXPECT_EQ(GbkToUtf8(controls_.Log()).find("获取完毕"), std::string::npos);
  EXPECT_TRUE(controls_.Enabled(ctl::按钮_获取相册封面));
  // No page after the one under way when the stop came.
  EXPECT_LE(RequestLines().size(), 2u);
}

TEST_F(SlowListingTest, ContextGoingAwayEndsTheListing) {
  // The window closing: its command context goes, and with it the listing worker.
  auto ctx = std::make_unique<CommandContext>(controls_);
  controls_.SetCaption(ctl::编辑框_号码, "http://www.douban.com/people/ahua/");
  ASSERT_EQ(GetAlbumsCommand(*ctx), GetAlbumsOutcome::kStarted);
  ctx.reset();
  EXPECT_EQ(State().Rows().size(), 0u);
  EXPECT_LE(RequestLines().size(), 2u);
}

}  // namespace
}  // namespace ak::test
