#include <gtest/gtest.h>

#include "net/request_headers.h"

namespace ak {
namespace {

const std::string kUrl = "http://www.douban.com/people/ahbei/";
const std::string kReferer = "Referer: " + kUrl;
const std::string kLanguage = "Accept-Language: zh-cn";
const std::string kForm = "Content-Type: application/x-www-form-urlencoded";
const std::string kDefaultAgentLine = "User-Agent: " + std::string(DefaultAgent);

std::string Join(std::initializer_list<std::string> lines) {
  std::string joined;
  for (const std::string& line : lines) {
    if (!joined.empty()) joined += "\r\n";
    joined += line;
  }
  return joined;
}

struct BlockCase {
  std::string name;
  std::string extra;
  std::string cookies;
  std::string expected;
};

class PageHeaderBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(PageHeaderBlockTest, BuildsBlockByteForByte) {
  EXPECT_EQ(PageHeaderBlock(GetParam().extra, kUrl, GetParam().cookies), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PageHeaderBlockTest,
    ::testing::Values(
        BlockCase{"NoExtraHeaders", "", "", Join({"Accept: */*", kReferer, kLanguage, kForm})},
        BlockCase{"OwnAcceptKept", "Accept: text/html", "",
                  Join({"Accept: text/html", kReferer, kLanguage, kForm})},
        BlockCase{"CookiesLast", "", "a=1; b=2",
                  Join({"Accept: */*", kReferer, kLanguage, kForm, "Cookie: a=1; b=2"})},
        // Searches are case-sensitive: a lower-case accept line does not count.
        BlockCase{"LowerCaseAcceptAddsDefault", "accept: x", "",
                  Join({"accept: x", "Accept: */*", kReferer, kLanguage, kForm})},
        // "Accept-Language:" does not contain "Accept:".
        BlockCase{"LanguageIsNotAccept", "Accept-Language: en", "",
                  Join({"Accept-Language: en", "Accept: */*", kReferer, kForm})},
        // The caller's trailing CR LF stays and leaves an empty line behind.
        BlockCase{"TrailingLineBreakKept", "X-A: 1\r\n", "",
                  "X-A: 1\r\n\r\nAccept: */*\r\n" + kReferer + "\r\n" + kLanguage + "\r\n" + kForm},
        BlockCase{"EverythingGiven",
                  "Accept: a\r\nReferer: r\r\nAccept-Language: l\r\nContent-Type: c", "",
                  "Accept: a\r\nReferer: r\r\nAccept-Language: l\r\nContent-Type: c"},
        // A Cookie line is appended even when the caller named one.
        BlockCase{"CookieLineNotLookedFor", "Cookie: x=1", "y=2",
                  Join({"Cookie: x=1", "Accept: */*", kReferer, kLanguage, kForm, "Cookie: y=2"})}),
    [](const auto& row) { return row.param.name; });

TEST(AgentFromHeadersTest, Table) {
  struct Case {
    std::string extra;
    std::string agent;
  } cases[] = {
      {"", std::string(DefaultAgent)},
      {"Accept: x", std::string(DefaultAgent)},
      // One line without a line break: the text after the colon.
      {"User-Agent:  Foo/1.0  ", "Foo/1.0"},
      {"user-agent: Bar/2", "Bar/2"},
      // A line break follows: the text between the marker and it.
      {"User-Agent: Baz/3 \r\nAccept: y", "Baz/3"},
      // Spelt in lower case with more lines: the colon rule takes the whole remaining text.
      {"user-agent: Q\r\nAccept: y", "Q\r\nAccept: y"},
      // The colon rule uses the first colon of the whole text.
      {"Accept: z\r\nuser-agent: W", "z\r\nuser-agent: W"},
  };
  for (const Case& c : cases) EXPECT_EQ(AgentFromHeaders(c.extra), c.agent) << c.extra;
}

const std::string kPhotoBlock =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64; rv:43.0) Gecko/20100101 Firefox/43.0\r\n"
    "Accept: image/png,image/*;q=0.8,*/*;q=0.5\r\n"
    "Accept-Language: zh-CN,zh;q=0.8,en-US;q=0.5,en;q=0.3\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "DNT: 1\r\n"
    "Referer: http://www.douban.com/photos/photo/123/large\r\n";

TEST(PictureHeaderTextTest, EmptyGetsAllDefaults) {
  EXPECT_EQ(PictureHeaderText("", kUrl),
            Join({"Accept: */*", kReferer, kLanguage, kDefaultAgentLine, kForm}));
}

TEST(PictureHeaderTextTest, PhotoBlockOnlyGainsContentType) {
  EXPECT_EQ(PictureHeaderText(kPhotoBlock, kUrl), kPhotoBlock + "\r\n" + kForm);
}

TEST(PictureHeaderSettingsTest, PhotoBlockGivesSevenHeadersInOrder) {
  const auto settings = PictureHeaderSettings(PictureHeaderText(kPhotoBlock, kUrl), "");
  const std::vector<HeaderSetting> expected = {
      {"User-Agent", "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:43.0) Gecko/20100101 Firefox/43.0"},
      {"Accept", "image/png,image/*;q=0.8,*/*;q=0.5"},
      {"Accept-Language", "zh-CN,zh;q=0.8,en-US;q=0.5,en;q=0.3"},
      {"Accept-Encoding", "gzip, deflate"},
      {"DNT", "1"},
      {"Referer", "http://www.douban.com/photos/photo/123/large"},
      {"Content-Type", "application/x-www-form-urlencoded"},
  };
  EXPECT_EQ(settings, expected);
}

TEST(PictureHeaderSettingsTest, CookieComesFirst) {
  const auto settings = PictureHeaderSettings("Accept: a\r\nDNT: 1", "s=1; t=2");
  const std::vector<HeaderSetting> expected = {
      {"Cookie", "s=1; t=2"}, {"Accept", "a"}, {"DNT", "1"}};
  EXPECT_EQ(settings, expected);
}

TEST(PictureHeaderSettingsTest, SingleLineWithoutBreak) {
  const std::vector<HeaderSetting> expected = {{"X-One", "a:b"}};
  EXPECT_EQ(PictureHeaderSettings("  X-One :  a:b ", ""), expected);
}

TEST(PictureHeaderSettingsTest, LaterSettingReplacesOrRemoves) {
  const auto settings =
      PictureHeaderSettings("Accept: a\r\nDNT: 1\r\naccept: b\r\nno colon\r\nDNT:\r\nX: y", "");
  const std::vector<HeaderSetting> expected = {{"Accept", "b"}, {"X", "y"}};
  EXPECT_EQ(settings, expected);
}

TEST(NormaliseSetCookieSpellingTest, EveryCaseBecomesCanonical) {
  EXPECT_EQ(NormaliseSetCookieSpelling("HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSET-COOKIE: b=2\r\n"
                                       "X-Set-cookie-Note: 1\r\n\r\n"),
            "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2\r\n"
            "X-Set-Cookie-Note: 1\r\n\r\n");
}

}  // namespace
}  // namespace ak
