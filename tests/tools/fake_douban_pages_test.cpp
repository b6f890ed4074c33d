// The web host's pages carry the markers the program searches, byte for byte, after the same
// UTF-8 to GBK conversion the program applies.

#include <gtest/gtest.h>

#include <memory>

#include "base/codec.h"
#include "base/text_ops.h"
#include "tests/support/fake_douban_process.h"
#include "tests/tools/douban_client.h"

namespace ak::test {
namespace {

class FakeDoubanPagesTest : public SharedDoubleTest {
 protected:
  // Fetches a page and converts it as the program does; expects status 200.
  static Text Page(const std::string& path) {
    const Fetched fetched = Fetch(*douban_, "http://www.douban.com" + path);
    EXPECT_EQ(fetched.code, CURLE_OK) << path;
    EXPECT_EQ(fetched.status, 200) << path;
    return Utf8ToGbk(fetched.body);
  }
};

TEST_F(FakeDoubanPagesTest, HomePageFeedTitleEndsInCollectionMarker) {
  const Text page = Page("/people/ahua");
  EXPECT_EQ(TextBetween(page, AK_GBK("application/rss+xml\" title=\""), AK_GBK("的收藏\" />")),
            AK_GBK("阿华 Hua　小站"));
  // The page title is not the owner name, so using it instead of the feed link shows.
  const Text title = RemoveBlanks(Replace(TextBetween(page, "<title>", "</title>"), "\n"));
  EXPECT_NE(title, AK_GBK("阿华Hua小站"));
  EXPECT_EQ(Page("/people/ahua/"), page);
}

TEST_F(FakeDoubanPagesTest, HomePageWithoutFeedLinkFallsBackToTitle) {
  const Text page = Page("/people/xiaoming");
  EXPECT_EQ(TextBetween(page, AK_GBK("application/rss+xml\" title=\""), AK_GBK("的收藏\" />")), "");
  const Text title = TextBetween(page, "<title>", "</title>");
  EXPECT_NE(title.find('\n'), Text::npos);
  EXPECT_EQ(RemoveBlanks(Replace(title, "\n")), AK_GBK("小明的主页"));
}

TEST_F(FakeDoubanPagesTest, AlbumListMarkersOnFirstPage) {
  const Text first = Page("/people/ahua/photos");
  EXPECT_EQ(TextBetween(first, "data-total-page=\"", "\">1</span>"), "2");
  EXPECT_EQ(TextBetween(first, AK_GBK("<span class=\"count\">(共"), AK_GBK("个)</span>")), "20");
  EXPECT_EQ(Page("/people/ahua/photos?start=0"), first);
  // A person with one page of albums has no page-count marker at all.
  const Text single = Page("/people/xiaoming/photos?start=0");
  EXPECT_EQ(Find(single, "data-total-page="), -1);
  EXPECT_EQ(TextBetween(single, AK_GBK("<span class=\"count\">(共"), AK_GBK("个)</span>")), "2");
}

TEST_F(FakeDoubanPagesTest, AlbumPagePhotoCountMarkers) {
  struct Case {
    const char* album;
    const char* count;
  } cases[] = {{"1620000001", "20"}, {"1620000002", "36"}, {"1620000004", "250"},
               {"1620000007", "17"}, {"1620000008", "18"}, {"1620000009", "19"}};
  for (const Case& c : cases) {
    const Text page = Page(std::string("/photos/album/") + c.album + "/");
    EXPECT_EQ(TextBetween(page, AK_GBK("\n</span>\n\n<span class=\"pl\">"), AK_GBK("张照片")),
              AK_GBK("共") + c.count)
        << c.album;
    // Searching from the first "pl" span picks up the dates as well.
    const Text loose = TextBetween(page, "<span class=\"pl\">", AK_GBK("张照片"));
    EXPECT_NE(loose.find("2015"), Text::npos) << c.album;
  }
}

TEST_F(FakeDoubanPagesTest, AlbumPageTitleIsEscapedHtml) {
  EXPECT_EQ(TextBetween(Page("/photos/album/1620000001/"), "<h1>", "</h1>"),
            AK_GBK("旅行/2015 夏天"));
  EXPECT_EQ(TextBetween(Page("/photos/album/1620000004/"), "<h1>", "</h1>"), "A&amp;B");
}

TEST_F(FakeDoubanPagesTest, AlbumAddressWithoutSlashRedirectsKeepingTheQuery) {
  const Fetched fetched = Fetch(*douban_, "http://www.douban.com/photos/album/1620000002?start=18");
  EXPECT_EQ(fetched.status, 301);
  EXPECT_EQ(fetched.location, "http://www.douban.com/photos/album/1620000002/?start=18");
}

TEST_F(FakeDoubanPagesTest, UnknownPagesAndHostsAre404WithoutMarkers) {
  // Host names the double does not serve are answered as unknown (here the bare address).
  const std::string bare = "http://127.0.0.1:" + std::to_string(douban_->webPort());
  for (const std::string& url :
       {std::string("http://www.douban.com/people/nobody"),
        std::string("http://www.douban.com/photos/album/42/"), bare + "/people/ahua",
        std::string("http://img1.doubanio.com/people/ahua")}) {
    const Fetched fetched = Fetch(*douban_, url);
    EXPECT_EQ(fetched.status, 404) << url;
    EXPECT_EQ(fetched.body.find("data-total-page"), std::string::npos) << url;
    EXPECT_EQ(fetched.body.find("<h1>"), std::string::npos) << url;
  }
}

TEST_F(FakeDoubanPagesTest, UpdatePageHoldsVersionBetweenMarkers) {
  const Fetched fetched = Fetch(*douban_, FakeDouban::UpdateUrl());
  ASSERT_EQ(fetched.status, 200);
  EXPECT_EQ(TextBetween(fetched.body, "#douban@@", "#douban"), "2.0");
  // The tag alone comes first: a closing marker searched from the start is in the wrong place.
  EXPECT_LT(fetched.body.find("#douban"), fetched.body.find("#douban@@"));
}

TEST(FakeDoubanUpdatePage, VersionIsConfigurable) {
  FakeDouban douban({.extraArgs = {"--update-version", "3.0"}});
  ASSERT_TRUE(douban.Start()) << douban.error();
  EXPECT_EQ(TextBetween(Fetch(douban, FakeDouban::UpdateUrl()).body, "#douban@@", "#douban"),
            "3.0");
}

TEST_F(FakeDoubanPagesTest, LoginFormSetsSessionCookie) {
  const Fetched form = Fetch(*douban_, "http://www.douban.com/login");
  EXPECT_NE(form.body.find("name=\"form_email\""), std::string::npos);
  const Fetched posted =
      Fetch(*douban_, "http://www.douban.com/login",
            {.postFields = "form_email=tester%40example.com&form_password=secret"});
  EXPECT_EQ(posted.status, 302);
  EXPECT_NE(posted.headerText.find("Set-Cookie: dbcl2=\"1000001:tester@example.com\""),
            std::string::npos);
  const Fetched root =
      Fetch(*douban_, "http://www.douban.com/", {.cookie = "dbcl2=\"1000001:tester\""});
  EXPECT_NE(root.body.find("tester"), std::string::npos);
  EXPECT_EQ(Fetch(*douban_, "http://www.douban.com/").body.find("tester"), std::string::npos);
}

}  // namespace
}  // namespace ak::test
