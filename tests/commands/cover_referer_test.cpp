// Picture hosts that refuse covers without a Referer from the service: a cover answered 403 is
// asked once more with the album-list page as the Referer before the placeholder is shown.

#include <gtest/gtest.h>

#include "albums/album_list.h"
#include "albums/cover_picture.h"
#include "tests/commands/listing_fixture.h"

namespace ak::test {
namespace {

const std::string kCoverPath = "/view/photo/albumcover/public/p";

class CoverRefererTest : public ListingTest {
 protected:
  static void SetUpTestSuite() { StartDouble({"--cover-referer"}); }
};

TEST_F(CoverRefererTest, RefusedCoverIsFetchedOnceMoreWithTheListPageAsReferer) {
  ASSERT_EQ(List("http://www.douban.com/people/ahua/", true), GetAlbumsOutcome::kStarted);
  const ControlsState state = State();
  ASSERT_EQ(state.Rows().size(), 20u);
  for (int row = 0; row < 20; ++row) {
    ASSERT_NE(state.Rows()[row].cover, nullptr) << row;
    // Only album 5, which has no cover, shows the placeholder.
    EXPECT_EQ(state.Rows()[row].cover == PlaceholderCover(), row == 4) << row;
  }
  std::vector<LoggedRequest> covers;
  for (const LoggedRequest& request : double_->Requests()) {
    if (request.target.starts_with(kCoverPath)) covers.push_back(request);
  }
  // 19 covers, each asked twice: without a Referer, then with the page that listed it.
  ASSERT_EQ(covers.size(), 38u);
  for (std::size_t i = 0; i < covers.size(); i += 2) {
    EXPECT_EQ(covers[i].target, covers[i + 1].target);
    EXPECT_FALSE(covers[i].HasHeader("Referer"));
    // The first list page holds 16 albums, 15 of them with a cover.
    const std::string page = i < 2 * 15 ? "?start=0" : "?start=16";
    EXPECT_EQ(covers[i + 1].Header("Referer"), "http://www.douban.com/people/ahua/photos" + page)
        << covers[i + 1].target;
  }
}

}  // namespace
}  // namespace ak::test
