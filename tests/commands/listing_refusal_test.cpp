// A listing the service refuses (its home page, an album-list page or the single album's page):
// it holds as a refused batch does, with one log line and the download area's continue and end
// buttons; continue sends the refused request again and lists every album; end, or a refusal
// under end-on-refusal, stops it and its outcome says how it ended.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "commands/download_commands.h"
#include "tests/commands/listing_fixture.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kHoldLine = "豆瓣拒绝了请求（访问太频繁，或需要登录），相册列表的获取已暂停";
constexpr const char* kPerson = "http://www.douban.com/people/ahua/";

struct Buttons {
  bool download, pause, resume, end;
  bool operator==(const Buttons&) const = default;
};

class ListingRefusalTest : public ListingTest {
 protected:
  static void SetUpTestSuite() { StartDouble(); }
  void SetUp() override {
    ListingTest::SetUp();
    ctx_.onListingRefusalHold = [this] { ++holds_; };
  }
  void TearDown() override {
    EndDownloadCommand(ctx_);
    ctx_.listing.Wait();
  }
  // A double of the test's own, with its faults.
  void Restart(std::vector<std::string> args) {
    StartDouble(std::move(args));
    double_->ExportEnvironment();
    ReloadServiceConfig();
  }
  GetAlbumsOutcome Press(const std::string& address) {
    controls_.SetCaption(ctl::编辑框_号码, Utf8ToGbk(address), Origin::kView);
    return GetAlbumsCommand(ctx_);
  }
  static bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }
  std::size_t Requested(const std::string& target) {
    const auto lines = RequestLines();
    return static_cast<std::size_t>(
        std::count(lines.begin(), lines.end(), "GET www.douban.com" + target));
  }
  std::size_t InLog(const std::string& text) const {
    const std::string log = GbkToUtf8(controls_.Log());
    std::size_t n = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }
  Buttons Shown() const {
    return {controls_.Visible(ctl::按钮_下载选中), controls_.Visible(ctl::按钮_暂停线程),
            controls_.Visible(ctl::按钮_继续下载), controls_.Visible(ctl::按钮_结束下载)};
  }
  std::atomic<int> holds_{0};
};

struct ListingRefusalCase {
  const char* name;
  std::vector<std::string> args;
  std::string address;
  // The request refused, sent again after continue.
  std::string refused;
  int rows;
};

class ListingHoldTest : public ListingRefusalTest,
                        public ::testing::WithParamInterface<ListingRefusalCase> {};

const ListingRefusalCase kListingCases[] = {
    {"HomePageRefused", {"--block-after", "0", "--block-count", "1"}, kPerson, "/people/ahua", 20},
    {"AlbumListPageRedirectedToLogin",
     {"--block-after", "1", "--block-count", "1", "--block-login"},
     kPerson,
     "/people/ahua/photos",
     20},
    {"AlbumPageRefused",
     {"--block-after", "0", "--block-count", "1"},
     "http://www.douban.com/photos/album/1620000007/",
     "/photos/album/1620000007/",
     1},
};

TEST_P(ListingHoldTest, HoldsAndContinueListsEveryAlbum) {
  const ListingRefusalCase& c = GetParam();
  Restart(c.args);
  controls_.SetVisible(ctl::按钮_下载选中, true);
  ASSERT_EQ(Press(c.address), GetAlbumsOutcome::kStarted);
  ASSERT_TRUE(WaitFor([&] { return holds_ == 1; })) << GbkToUtf8(controls_.Log());
  EXPECT_EQ(Shown(), (Buttons{false, false, true, true}));
  // Held: nothing more is asked for, and the line came once.
  std::this_thread::sleep_for(150ms);
  const std::size_t requests = RequestLines().size();
  EXPECT_EQ(Requested(c.refused), 1u);
  EXPECT_EQ(InLog(kHoldLine), 1u);
  EXPECT_TRUE(ctx_.listing.Running());
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(RequestLines().size(), requests);

  ContinueDownloadCommand(ctx_);
  ctx_.listing.Wait();
  EXPECT_EQ(holds_, 1);
  EXPECT_EQ(Requested(c.refused), 2u);
  EXPECT_EQ(State().Rows().size(), static_cast<std::size_t>(c.rows));
  EXPECT_EQ(InLog("-----获取完毕,共计" + std::to_string(c.rows) + "个"), 1u);
  const ListingOutcome outcome = ctx_.lastListing.Get();
  EXPECT_EQ(outcome.rows, c.rows);
  EXPECT_FALSE(outcome.ended);
  EXPECT_FALSE(outcome.endedByRefusal);
  // No batch runs: the download button again.
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  EXPECT_TRUE(controls_.Enabled(ctl::按钮_获取相册封面));
}

INSTANTIATE_TEST_SUITE_P(Refusals, ListingHoldTest, ::testing::ValuesIn(kListingCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ListingRefusalTest, EndWhileHeldStopsTheListing) {
  Restart({"--block-after", "2"});
  ASSERT_EQ(Press(kPerson), GetAlbumsOutcome::kStarted);
  ASSERT_TRUE(WaitFor([&] { return holds_ == 1; }));
  EndDownloadCommand(ctx_);
  ctx_.listing.Wait();
  const ListingOutcome outcome = ctx_.lastListing.Get();
  EXPECT_TRUE(outcome.ended);
  EXPECT_FALSE(outcome.endedByRefusal);
  EXPECT_EQ(InLog("获取完毕"), 0u);
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  EXPECT_TRUE(controls_.Enabled(ctl::按钮_获取相册封面));
}

TEST_F(ListingRefusalTest, EndOnRefusalEndsTheListingAndSaysSo) {
  Restart({"--block-after", "1"});
  ctx_.endOnRefusal = true;
  ASSERT_EQ(Press(kPerson), GetAlbumsOutcome::kStarted);
  ctx_.listing.Wait();
  EXPECT_EQ(holds_, 0);
  const ListingOutcome outcome = ctx_.lastListing.Get();
  EXPECT_TRUE(outcome.ended);
  EXPECT_TRUE(outcome.endedByRefusal);
  EXPECT_EQ(outcome.rows, 0);
  // Refused is not empty: no "共计0个".
  EXPECT_EQ(InLog("获取完毕"), 0u);
  EXPECT_EQ(InLog("相册列表的获取已结束"), 1u) << GbkToUtf8(controls_.Log());
  EXPECT_EQ(RequestLines().size(), 2u);
}

}  // namespace
}  // namespace ak::test
