// A batch the service refuses (403 and its block page, 418, a redirect to the login page): it
// holds as the pause command does, says so once in the log, saves and records nothing meanwhile,
// and continue sends the refused request again; with end-on-refusal the batch ends instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/commands/download_commands_fixture.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kHoldLine = "豆瓣拒绝了请求（访问太频繁，或需要登录），下载已暂停";

class RefusalCommandsTest : public DownloadCommandsTest {
 protected:
  void SetUp() override {
    DownloadCommandsTest::SetUp();
    ctx_.onRefusalHold = [this] { ++holds_; };
  }
  std::size_t Count(const std::string& text) {
    const std::string log = LogUtf8();
    std::size_t n = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }
  // How often a target was requested.
  std::size_t Requested(const std::string& target) {
    const auto all = Targets();
    return static_cast<std::size_t>(std::count(all.begin(), all.end(), target));
  }
  std::atomic<int> holds_{0};
};

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;
  bool browse;
  // The target refused first, retried after continue.
  std::string refused;
  std::size_t savedWhileHeld;
};

class RefusalHoldTest : public RefusalCommandsTest,
                        public ::testing::WithParamInterface<RefusalCase> {};

// Requests of the browse mode: album page, list page 0, photos 1..17, list page 18. Through the
// API: total, page 0, photos.
const RefusalCase kRefusalCases[] = {
    {"PictureRefused403",
     {"--block-after", "5", "--block-count", "1"},
     true,
     "/view/photo/photo/public/p16200000070004.jpg",
     3},
    {"ListPageRedirectedToLogin",
     {"--block-after", "1", "--block-count", "1", "--block-login"},
     true,
     "/photos/album/1620000007/?start=0",
     0},
    {"ApiPageRefused",
     {"--block-after", "1", "--block-count", "1"},
     false,
     "/v2/album/1620000007/photos?start=0&count=100",
     0},
    // Today's forms: a 403 that sends the picture request to sec.douban.com, and the
    // login-redirect page in place of the album's first photo-list page.
    {"TodayPictureSentToSecurityHost",
     {"--today", "--block-after", "5", "--block-count", "1"},
     true,
     "/view/photo/m/public/p16200000070004.webp",
     3},
    {"TodayListPageLoginRedirectPage",
     {"--today", "--block-after", "1", "--block-count", "1", "--block-login"},
     true,
     "/photos/album/1620000007/?start=0",
     0},
};

TEST_P(RefusalHoldTest, HoldsLikeAPauseAndContinueRetriesTheRefusedRequest) {
  const RefusalCase& c = GetParam();
  StartOwnDouble(c.args);
  controls_.SetChecked(ctl::选择框_浏览模式, c.browse);
  // One connection: the requests go in the order the cases count them.
  controls_.SetCaption(ctl::编辑框_同时下载, "1");
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  DownloadSelectedCommand(ctx_, {1ms});
  ASSERT_TRUE(WaitFor([&] { return holds_ == 1; })) << LogUtf8();
  EXPECT_EQ(Shown(), (Buttons{false, false, true, true}));
  // Held: nothing more is asked, saved or recorded, and the line came once.
  std::this_thread::sleep_for(150ms);
  const std::size_t requests = Targets().size();
  const std::string folder = "十七张17";
  EXPECT_EQ(Saved(folder.c_str()), c.savedWhileHeld);
  EXPECT_EQ(RecordCount(), 0u);
  EXPECT_EQ(Count(kHoldLine), 1u) << LogUtf8();
  EXPECT_EQ(Requested(c.refused), 1u);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(Targets().size(), requests);

  ContinueDownloadCommand(ctx_);
  ASSERT_TRUE(WaitFor([&] { return !ctx_.batch.Running(); }));
  EXPECT_EQ(holds_, 1);
  EXPECT_EQ(Requested(c.refused), 2u);
  EXPECT_EQ(Saved(folder.c_str()), 17u);
  EXPECT_EQ(RecordCount(), 17u);
  EXPECT_EQ(Count(kHoldLine), 1u);
  EXPECT_EQ(Count("-------全部下载完毕--------"), 1u);
  EXPECT_EQ(ctx_.lastBatch.Get().outcome.failed, 0);
  EXPECT_FALSE(ctx_.lastBatch.Get().outcome.endedByRefusal());
  // Every photo was fetched once, the refused one twice: nothing skipped, nothing doubled.
  for (int i = 1; i <= 17; ++i) {
    char id[32];
    std::snprintf(id, sizeof id, "p1620000007%04d.", i);
    const std::string target = id;
    const auto all = Targets(target);
    const std::size_t expected = c.refused.find(target) != std::string::npos ? 2u : 1u;
    EXPECT_EQ(all.size(), expected) << target;
  }
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusalHoldTest, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Three pictures in flight when the service refuses two of them: one hold, one line; after
// continue the refused pictures come again one at a time, and every photo is saved once.
TEST_F(RefusalCommandsTest, ARefusalAmongSeveralTransfersHoldsOnceAndResendsEachRefused) {
  // Requests 17 to 19 are the last three photos, in flight together; 17 and 18 are refused.
  StartOwnDouble({"--block-after", "16", "--block-count", "2", "--slow-ms", "30", "--slow-match",
                  "/view/photo/"});
  controls_.SetCaption(ctl::编辑框_同时下载, "3");
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  DownloadSelectedCommand(ctx_, {1ms});
  ASSERT_TRUE(WaitFor([&] { return holds_ == 1; })) << LogUtf8();
  std::this_thread::sleep_for(150ms);
  // Held: the transfers that were under way have ended; nothing more is asked.
  const std::size_t requests = Targets().size();
  EXPECT_EQ(Count(kHoldLine), 1u) << LogUtf8();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(Targets().size(), requests);
  // Both refusals in flight together make one hold; when the second request went only after
  // the first answer (a busy machine), its refusal comes after continue and holds again.
  const int expectedHolds = requests >= 18 ? 1 : 2;
  ContinueDownloadCommand(ctx_);
  if (expectedHolds == 2) {
    ASSERT_TRUE(WaitFor([&] { return holds_ == 2; })) << LogUtf8();
    ContinueDownloadCommand(ctx_);
  }
  ASSERT_TRUE(WaitFor([&] { return !ctx_.batch.Running(); })) << LogUtf8();
  EXPECT_EQ(holds_, expectedHolds);
  EXPECT_EQ(Count(kHoldLine), static_cast<std::size_t>(expectedHolds));
  EXPECT_EQ(Saved("十七张17"), 17u);
  EXPECT_EQ(RecordCount(), 17u);
  EXPECT_EQ(Count("一个连接"), 1u) << LogUtf8();
  EXPECT_EQ(Targets("/view/photo/").size(), 19u);
  EXPECT_EQ(ctx_.lastBatch.Get().outcome.refused, 2);
}

TEST_F(RefusalCommandsTest, StillRefusedAfterContinueHoldsAgainAndEndLeavesIdle) {
  StartOwnDouble({"--block-after", "3"});
  controls_.SetCaption(ctl::编辑框_同时下载, "3");
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  DownloadSelectedCommand(ctx_, {1ms});
  ASSERT_TRUE(WaitFor([&] { return holds_ == 1; }));
  ContinueDownloadCommand(ctx_);
  ASSERT_TRUE(WaitFor([&] { return holds_ == 2; }));
  EXPECT_EQ(Shown(), (Buttons{false, false, true, true}));
  EXPECT_EQ(Saved("十七张17"), 1u);
  EndDownloadCommand(ctx_);
  ctx_.batch.Wait();
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  EXPECT_EQ(Count("-------全部下载完毕--------"), 0u);
  // The one picture saved before the refusal is recorded; nothing of the refused one.
  EXPECT_EQ(RecordCount(), 1u);
}

TEST_F(RefusalCommandsTest, EndOnRefusalEndsTheBatchWithoutHolding) {
  StartOwnDouble({"--block-after", "3"});
  ctx_.endOnRefusal = true;
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  AddRow("2", G("十八张"), AlbumUrl("1620000008"));
  DownloadSelectedCommand(ctx_, {1ms});
  ASSERT_TRUE(WaitFor([&] { return !ctx_.batch.Running(); }));
  EXPECT_EQ(holds_, 0);
  EXPECT_TRUE(ctx_.lastBatch.Get().outcome.endedByRefusal());
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  EXPECT_EQ(Count("下载已结束"), 1u) << LogUtf8();
  EXPECT_EQ(Count("-------全部下载完毕--------"), 0u);
  EXPECT_TRUE(Targets("/photos/album/1620000008/").empty());
  EXPECT_EQ(Saved("十七张17"), 1u);
}

}  // namespace
}  // namespace ak::test
