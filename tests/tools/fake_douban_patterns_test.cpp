// The program's own patterns, run with its RegexMatcher over the double's pages after the same
// conversion to GBK, find exactly the albums and photos of the fixture.

#include <gtest/gtest.h>
#include <json-c/json.h>

#include <algorithm>
#include <set>

#include "albums/album_list_pattern.h"
#include "base/codec.h"
#include "base/regex_matcher.h"
#include "base/text_ops.h"
#include "download/photo_request.h"
#include "tests/support/fake_douban_process.h"
#include "tests/tools/douban_client.h"

namespace ak::test {
namespace {

const std::string_view kPhotoPattern = BuiltInPhotoPattern();

class FakeDoubanPatternsTest : public SharedDoubleTest {
 protected:
  static Text Page(const std::string& url) {
    const Fetched fetched = Fetch(*douban_, url);
    EXPECT_EQ(fetched.status, 200) << url;
    return Utf8ToGbk(fetched.body);
  }
  // The photo ids of an album in API order.
  static std::vector<std::string> ApiIds(const std::string& album) {
    std::vector<std::string> ids;
    for (int start = 0;; start += 100) {
      const Fetched fetched =
          Fetch(*douban_, "https://api.douban.com/v2/album/" + album +
                              "/photos?start=" + std::to_string(start) + "&count=100");
      json_object* root = json_tokener_parse(fetched.body.c_str());
      json_object* photos = nullptr;
      const size_t n =
          json_object_object_get_ex(root, "photos", &photos) ? json_object_array_length(photos) : 0;
      for (size_t i = 0; i < n; ++i) {
        json_object* id = nullptr;
        json_object_object_get_ex(json_object_array_get_idx(photos, i), "id", &id);
        ids.push_back(json_object_get_string(id));
      }
      json_object_put(root);
      if (n < 100) return ids;
    }
  }
};

TEST_F(FakeDoubanPatternsTest, AlbumListPatternFindsEachAlbumOnce) {
  const std::string base = "http://www.douban.com/people/ahua/photos?start=";
  std::vector<std::string> addresses;
  std::vector<Text> names, covers;
  for (int start : {0, 16, 32}) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.RunPattern(AlbumListPattern, Page(base + std::to_string(start))));
    EXPECT_EQ(matcher.MatchCount(), start == 0 ? 16 : start == 16 ? 4 : 0) << start;
    for (int i = 1; i <= matcher.MatchCount(); ++i) {
      covers.push_back(matcher.SubMatchText(i, 1));
      addresses.push_back(matcher.SubMatchText(i, 2));
      names.push_back(matcher.SubMatchText(i, 3));
    }
  }
  ASSERT_EQ(addresses.size(), 20u);
  for (size_t i = 0; i < addresses.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    const std::string expected = "http://www.douban.com/photos/album/16200000" +
                                 std::string(2 - number.size(), '0') + number + "/";
    EXPECT_EQ(addresses[i], expected);
  }
  EXPECT_EQ(names[0], AK_GBK("旅行/2015 夏天"));
  EXPECT_EQ(names[1], AK_GBK("春天（上）：樱花！"));
  EXPECT_EQ(names[2], AK_GBK("？？？"));
  EXPECT_EQ(names[3], "A&amp;B");
  EXPECT_EQ(names[5], AK_GBK("運動會、誠品·質感"));
  EXPECT_EQ(covers[0], "http://img3.doubanio.com/view/photo/albumcover/public/p2155058361.jpg");
  EXPECT_EQ(covers[4], "");  // the album without cover
  for (const Text& cover : covers) {
    if (cover.empty()) continue;
    const Fetched picture = Fetch(*douban_, cover);
    EXPECT_EQ(picture.status, 200) << cover;
    EXPECT_EQ(picture.contentType, "image/jpeg") << cover;
  }
}

TEST_F(FakeDoubanPatternsTest, AlbumListPatternOnSinglePagePerson) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.RunPattern(AlbumListPattern,
                                 Page("http://www.douban.com/people/xiaoming/photos?start=0")));
  ASSERT_EQ(matcher.MatchCount(), 2);
  EXPECT_EQ(matcher.SubMatchText(2, 3), AK_GBK("：/ ？。"));
  RegexMatcher none;
  ASSERT_TRUE(none.RunPattern(AlbumListPattern, Page("http://www.douban.com/people/empty/photos")));
  EXPECT_EQ(none.MatchCount(), 0);
}

TEST_F(FakeDoubanPatternsTest, PhotoPatternWalksEveryAlbumPage) {
  struct Case {
    const char* album;
    int count;
  } cases[] = {{"1620000001", 20}, {"1620000002", 36}, {"1620000007", 17},
               {"1620000008", 18}, {"1620000009", 19}, {"1620000004", 250}};
  for (const Case& c : cases) {
    std::vector<std::string> ids;
    const int pages = c.count / 18 + 1;
    for (int page = 1; page <= pages; ++page) {
      const int start = (page - 1) * 18;
      RegexMatcher matcher;
      ASSERT_TRUE(matcher.RunPattern(
          kPhotoPattern, Page(std::string("http://www.douban.com/photos/album/") + c.album +
                              "/?start=" + std::to_string(start))));
      EXPECT_EQ(matcher.MatchCount(), std::min(18, c.count - start)) << c.album << " " << start;
      for (int j = 1; j <= matcher.MatchCount(); ++j) {
        const Text host = matcher.SubMatchText(j, 2);
        EXPECT_TRUE(host == "http://img1.doubanio.com" || host == "http://img3.doubanio.com")
            << host;
        ids.push_back(matcher.SubMatchText(j, 3));
      }
    }
    EXPECT_EQ(ids, ApiIds(c.album)) << c.album;
  }
}

TEST_F(FakeDoubanPatternsTest, PhotoPatternGroupsLeadToThePictures) {
  RegexMatcher matcher;
  ASSERT_TRUE(
      matcher.RunPattern(kPhotoPattern, Page("http://www.douban.com/photos/album/1620000001/")));
  ASSERT_EQ(matcher.MatchCount(), 18);
  for (int j : {1, 2, 5, 6, 7}) {
    const Text host = matcher.SubMatchText(j, 2);
    const Text id = matcher.SubMatchText(j, 3);
    EXPECT_EQ(Fetch(*douban_, host + "/view/photo/photo/public/p" + id + ".jpg").status, 200);
    const long large = Fetch(*douban_, host + "/view/photo/large/public/p" + id + ".jpg").status;
    EXPECT_EQ(large, id == "2155058365" ? 404 : 200) << id;
  }
}

TEST_F(FakeDoubanPatternsTest, PhotoPatternKeepsDescriptionsAsWritten) {
  RegexMatcher matcher;
  ASSERT_TRUE(
      matcher.RunPattern(kPhotoPattern, Page("http://www.douban.com/photos/album/1620000001/")));
  ASSERT_GE(matcher.MatchCount(), 6);
  EXPECT_EQ(matcher.SubMatchText(1, 1), AK_GBK("他说：&quot;你好&quot;，然后走了"));
  EXPECT_EQ(matcher.SubMatchText(2, 1), AK_GBK("第一行\n第二行\r\n第三行"));
  EXPECT_GT(matcher.SubMatchText(3, 1).size(), 240u);
  // GBK trail bytes 0x5C and 0x7C inside double-byte characters.
  const Text trail = matcher.SubMatchText(4, 1);
  EXPECT_EQ(trail, AK_GBK("好運連連 誠意十足 質量上乘 千絲萬縷"));
  EXPECT_NE(trail.find('\\'), Text::npos);
  EXPECT_NE(trail.find('|'), Text::npos);
  EXPECT_EQ(matcher.SubMatchText(5, 1), "");  // null description
  EXPECT_EQ(matcher.SubMatchText(6, 1),
            AK_GBK("A&amp;B &lt;b&gt;粗体&lt;/b&gt; 50% / 斜杠\\反斜杠"));
  EXPECT_EQ(matcher.SubMatchText(1, 3), "2155058361");
}

}  // namespace
}  // namespace ak::test
