// The API host's answers: the total between its text markers, pages of 100 that json-c parses,
// with the members and spellings the program has to cope with.

#include <gtest/gtest.h>
#include <json-c/json.h>

#include <memory>
#include <set>

#include "base/text_ops.h"
#include "tests/support/fake_douban_process.h"
#include "tests/tools/douban_client.h"

namespace ak::test {
namespace {

using JsonPtr = std::unique_ptr<json_object, decltype(&json_object_put)>;

JsonPtr Parse(const std::string& text) {
  return JsonPtr(json_tokener_parse(text.c_str()), &json_object_put);
}

json_object* Member(json_object* obj, const char* name) {
  json_object* value = nullptr;
  return json_object_object_get_ex(obj, name, &value) ? value : nullptr;
}

// The JSON text json-c gives for a member, as the program reads it ("null" when missing).
std::string MemberText(json_object* obj, const char* name) {
  return json_object_to_json_string_ext(Member(obj, name), JSON_C_TO_STRING_PLAIN);
}

class FakeDoubanApiTest : public SharedDoubleTest {
 protected:
  static Fetched Api(const std::string& pathAndQuery) {
    return Fetch(*douban_, "https://api.douban.com/v2/album/" + pathAndQuery);
  }
  // The photos of one album page, in order, found by the photo id.
  static json_object* PhotoById(json_object* page, const std::string& id) {
    json_object* photos = Member(page, "photos");
    for (size_t i = 0; i < json_object_array_length(photos); ++i) {
      json_object* photo = json_object_array_get_idx(photos, i);
      if (json_object_get_string(Member(photo, "id")) == id) return photo;
    }
    return nullptr;
  }
};

TEST_F(FakeDoubanApiTest, TotalSitsBetweenTextMarkers) {
  struct Case {
    const char* album;
    const char* total;
  } cases[] = {{"1620000004", "250"}, {"1620000001", "20"}, {"1620000003", "3"}};
  for (const Case& c : cases) {
    const Fetched fetched = Api(std::string(c.album) + "/photos?count=1");
    ASSERT_EQ(fetched.code, CURLE_OK) << curl_easy_strerror(fetched.code);
    EXPECT_EQ(fetched.status, 200);
    EXPECT_EQ(fetched.contentType, "application/json; charset=utf-8");
    EXPECT_EQ(TextBetween(fetched.body, "total\":", ",\"o"), c.total) << fetched.body;
    JsonPtr root = Parse(fetched.body);
    ASSERT_TRUE(root);
    EXPECT_EQ(json_object_array_length(Member(root.get(), "photos")), 1u);
  }
}

TEST_F(FakeDoubanApiTest, PagesOfHundredCoverTheAlbumOnce) {
  std::vector<std::string> ids;
  const size_t expectedLengths[] = {100, 100, 50, 0};
  for (int page = 0; page < 4; ++page) {
    const Fetched fetched =
        Api("1620000004/photos?start=" + std::to_string(page * 100) + "&count=100");
    ASSERT_EQ(fetched.status, 200);
    JsonPtr root = Parse(fetched.body);
    ASSERT_TRUE(root) << fetched.body.substr(0, 200);
    json_object* photos = Member(root.get(), "photos");
    ASSERT_EQ(json_object_get_type(photos), json_type_array);
    EXPECT_EQ(json_object_array_length(photos), expectedLengths[page]);
    for (size_t i = 0; i < json_object_array_length(photos); ++i) {
      json_object* photo = json_object_array_get_idx(photos, i);
      for (const char* member : {"id", "image", "large", "desc"}) {
        EXPECT_NE(Member(photo, member), nullptr) << member;
      }
      ids.push_back(json_object_get_string(Member(photo, "id")));
    }
  }
  EXPECT_EQ(ids.size(), 250u);
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 250u);
  // A count above 100 is capped like the service does.
  JsonPtr capped = Parse(Api("1620000004/photos?start=0&count=250").body);
  EXPECT_EQ(json_object_array_length(Member(capped.get(), "photos")), 100u);
}

TEST_F(FakeDoubanApiTest, MembersAsJsonCWritesThem) {
  const Fetched fetched = Api("1620000001/photos?start=0&count=100");
  EXPECT_NE(fetched.body.find("https:\\/\\/img3.doubanio.com\\/view\\/photo\\/photo\\/public\\/"),
            std::string::npos);
  JsonPtr root = Parse(fetched.body);
  ASSERT_TRUE(root);

  json_object* quoted = PhotoById(root.get(), "2155058361");
  ASSERT_NE(quoted, nullptr);
  EXPECT_EQ(MemberText(quoted, "id"), "\"2155058361\"");
  EXPECT_EQ(MemberText(quoted, "image"),
            "\"https:\\/\\/img3.doubanio.com\\/view\\/photo\\/photo\\/public\\/p2155058361.jpg\"");
  EXPECT_EQ(MemberText(quoted, "desc"), "\"他说：\\\"你好\\\"，然后走了\"");

  json_object* lines = PhotoById(root.get(), "2155058362");
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(MemberText(lines, "desc"), "\"第一行\\n第二行\\r\\n第三行\"");

  // Null description, no large picture, and an address written with plain http.
  json_object* bare = PhotoById(root.get(), "2155058365");
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(json_object_get_type(Member(bare, "desc")), json_type_null);
  EXPECT_EQ(MemberText(bare, "desc"), "null");
  EXPECT_EQ(Member(bare, "large"), nullptr);
  EXPECT_EQ(MemberText(bare, "large"), "null");
  EXPECT_EQ(std::string(json_object_get_string(Member(bare, "image"))).rfind("http://", 0), 0u);

  json_object* upper = PhotoById(root.get(), "2155058366");
  ASSERT_NE(upper, nullptr);
  EXPECT_EQ(std::string(json_object_get_string(Member(upper, "image"))).rfind("HTTPS://", 0), 0u);
}

TEST_F(FakeDoubanApiTest, LongDescriptionsExceed240Bytes) {
  JsonPtr root = Parse(Api("1620000001/photos?start=0&count=100").body);
  json_object* longOne = PhotoById(root.get(), "2155058363");
  ASSERT_NE(longOne, nullptr);
  EXPECT_GT(json_object_get_string_len(Member(longOne, "desc")), 240 * 3 / 2);
}

TEST_F(FakeDoubanApiTest, ErrorsAreJsonWithoutPhotos) {
  struct Case {
    std::string url;
    long status;
  } cases[] = {
      {"https://api.douban.com/v2/album/42/photos?count=1", 404},
      {"https://api.douban.com/v2/user/ahua", 404},
      // The API is served over https only.
      {"http://api.douban.com/v2/album/1620000001/photos?count=1", 403},
  };
  for (const Case& c : cases) {
    const Fetched fetched = Fetch(*douban_, c.url);
    EXPECT_EQ(fetched.status, c.status) << c.url;
    JsonPtr root = Parse(fetched.body);
    ASSERT_TRUE(root) << c.url;
    EXPECT_EQ(Member(root.get(), "photos"), nullptr);
    EXPECT_EQ(TextBetween(fetched.body, "total\":", ",\"o"), "");
  }
}

}  // namespace
}  // namespace ak::test
