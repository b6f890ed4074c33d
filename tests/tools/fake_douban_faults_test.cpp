// Faults switched on from the command line: refusals, empty answers, slow and cut-off answers,
// the redirect to https, garbage answers and claimed counts.

#include <gtest/gtest.h>

#include "base/codec.h"
#include "base/text_ops.h"
#include "tests/support/fake_douban_process.h"
#include "tests/tools/douban_client.h"

namespace ak::test {
namespace {

const std::string kAlbumList = "http://www.douban.com/people/ahua/photos";

TEST(FakeDoubanFaults, BlockAfterRefusesEveryLaterRequest) {
  FakeDouban douban({.extraArgs = {"--block-after", "2"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  EXPECT_EQ(Fetch(douban, kAlbumList).status, 200);
  EXPECT_EQ(
      Fetch(douban, "http://img3.doubanio.com/view/photo/photo/public/p2155058361.jpg").status,
      200);
  for (const std::string& url :
       {kAlbumList, std::string("http://img3.doubanio.com/view/photo/photo/public/p2155058361.jpg"),
        std::string("https://api.douban.com/v2/album/1620000001/photos?count=1")}) {
    const Fetched refused = Fetch(douban, url);
    EXPECT_EQ(refused.status, 403) << url;
    EXPECT_EQ(refused.body.find("data-total-page"), std::string::npos);
    EXPECT_EQ(refused.body.find("albumlst_r"), std::string::npos);
    EXPECT_EQ(refused.body.find("total\":"), std::string::npos);
  }
}

TEST(FakeDoubanFaults, FirstAnswersOfEachPageAreEmpty) {
  FakeDouban douban({.extraArgs = {"--empty-first", "2", "--empty-match", "/photos/album/"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  const std::string page1 = "http://www.douban.com/photos/album/1620000002/?start=0";
  const std::string page2 = "http://www.douban.com/photos/album/1620000002/?start=18";
  for (int attempt = 1; attempt <= 2; ++attempt) {
    const Fetched fetched = Fetch(douban, page1);
    EXPECT_EQ(fetched.status, 200);
    EXPECT_TRUE(fetched.body.empty()) << "attempt " << attempt;
  }
  EXPECT_NE(Fetch(douban, page1).body.find("photolst_photo"), std::string::npos);
  // Each page counts on its own; other paths are not touched.
  EXPECT_TRUE(Fetch(douban, page2).body.empty());
  EXPECT_FALSE(Fetch(douban, kAlbumList).body.empty());
}

TEST(FakeDoubanFaults, EmptyAnswersReachTheApiToo) {
  FakeDouban douban({.extraArgs = {"--empty-first", "1"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  const std::string url = "https://api.douban.com/v2/album/1620000001/photos?start=0&count=100";
  EXPECT_TRUE(Fetch(douban, url).body.empty());
  EXPECT_NE(Fetch(douban, url).body.find("\"photos\""), std::string::npos);
  // Without a match, pictures are left alone.
  EXPECT_EQ(Fetch(douban, "http://img3.doubanio.com/view/photo/photo/public/p2155058361.jpg")
                .body.substr(0, 2),
            "\xFF\xD8");
}

TEST(FakeDoubanFaults, CutOffAnswersEndBeforeTheirLength) {
  FakeDouban douban({.extraArgs = {"--cut-off", "/view/photo/large/"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  const Fetched cut =
      Fetch(douban, "http://img3.doubanio.com/view/photo/large/public/p2155058361.jpg");
  EXPECT_EQ(cut.code, CURLE_PARTIAL_FILE);
  const Fetched whole =
      Fetch(douban, "http://img3.doubanio.com/view/photo/photo/public/p2155058361.jpg");
  EXPECT_EQ(whole.code, CURLE_OK);
  EXPECT_GT(cut.body.size(), 0u);
}

TEST(FakeDoubanFaults, CutOffWorksOverHttpsAsWell) {
  FakeDouban douban({.extraArgs = {"--cut-off", "/v2/"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  const Fetched cut =
      Fetch(douban, "https://api.douban.com/v2/album/1620000004/photos?start=0&count=100");
  EXPECT_NE(cut.code, CURLE_OK);
}

TEST(FakeDoubanFaults, SlowAnswersOutlastAShortTimeOut) {
  FakeDouban douban({.extraArgs = {"--slow-ms", "3000", "--slow-match", "/people/"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  EXPECT_EQ(Fetch(douban, kAlbumList, {.timeoutMs = 300}).code, CURLE_OPERATION_TIMEDOUT);
  EXPECT_EQ(Fetch(douban, FakeDouban::UpdateUrl(), {.timeoutMs = 2000}).code, CURLE_OK);
}

TEST(FakeDoubanFaults, RedirectToHttpsServesTheSamePage) {
  FakeDouban douban({.extraArgs = {"--redirect-https"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  const Fetched moved = Fetch(douban, kAlbumList + "?start=16");
  EXPECT_EQ(moved.status, 301);
  EXPECT_EQ(moved.location, "https://www.douban.com/people/ahua/photos?start=16");
  const Fetched followed = Fetch(douban, kAlbumList + "?start=16", {.followRedirects = true});
  EXPECT_EQ(followed.status, 200);
  EXPECT_NE(followed.body.find("albumlst_r"), std::string::npos);
  const std::vector<LoggedRequest> requests = douban.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2].scheme, "https");
  EXPECT_EQ(requests[2].target, "/people/ahua/photos?start=16");
}

TEST(FakeDoubanFaults, BadOptionsStopTheStart) {
  for (const char* bad : {"--picture-error", "--block-after"}) {
    FakeDouban douban({.extraArgs = {bad, "x"}});
    EXPECT_FALSE(douban.Start()) << bad;
  }
}

}  // namespace
}  // namespace ak::test

namespace ak::test {
namespace {

// The switches of hostile answers: each claims what it says where the program reads it, and the
// garbage is the same for the same address.
TEST(FakeDoubanFaults, GarbageAndClaimedCountsAppearWhereTheProgramReadsThem) {
  const std::string albumPage = "http://www.douban.com/photos/album/1620000002/";
  const std::string apiPage = "https://api.douban.com/v2/album/1620000002/photos?count=1";
  const struct {
    std::vector<std::string> args;
    std::string url;
    std::string expected;  // a part the answer must hold
  } cases[] = {
      {{"--photo-count", "2147483647"}, albumPage, "<span class=\"pl\">共2147483647张照片</span>"},
      {{"--photo-count", "2147483647"}, apiPage, "\"total\":2147483647,\"o"},
      {{"--photo-count", "许多"}, albumPage, "共许多张照片"},
      {{"--photo-count", "许多"}, apiPage, "\"total\":\"许多\",\"o"},
      {{"--list-pages", "2147483647"},
       "http://www.douban.com/people/xiaoming/photos",
       "data-total-page=\"2147483647\">1</span>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.url);
    FakeDouban douban({.extraArgs = c.args});
    ASSERT_TRUE(douban.Start()) << douban.error();
    const Fetched fetched = Fetch(douban, c.url);
    EXPECT_EQ(fetched.status, 200);
    EXPECT_NE(fetched.body.find(c.expected), std::string::npos) << fetched.body;
  }

  FakeDouban douban({.extraArgs = {"--garbage", "/photos/album/"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  const Fetched garbage = Fetch(douban, albumPage);
  EXPECT_EQ(garbage.status, 200);
  EXPECT_EQ(garbage.body.size(), 16u * 1024);
  EXPECT_EQ(garbage.body.find("photolst_photo"), std::string::npos);
  EXPECT_EQ(Fetch(douban, albumPage).body, garbage.body);
  EXPECT_NE(Fetch(douban, albumPage + "?start=18").body, garbage.body);
  EXPECT_NE(Fetch(douban, kAlbumList).body.find("albumlst_r"), std::string::npos);
}

}  // namespace
}  // namespace ak::test
