#include "base/regex_matcher.h"

#include <gtest/gtest.h>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

const char kAlbumPattern[] =
    "<img class=\"album\" src=\"(.*?)\"/></a>\n    <div class=\"albumlst_r\">\n        <div "
    "class=\"pl2\">\n            <a href=\"(.*?)\">(.*?)</a>";

std::string AlbumEntry(const std::string& cover, const std::string& address,
                       const std::string& name) {
  return "<div class=\"albumlst\"><a href=\"" + address + "\"><img class=\"album\" src=\"" + cover +
         "\"/></a>\n    <div class=\"albumlst_r\">\n        <div class=\"pl2\">\n            <a "
         "href=\"" +
         address + "\">" + name + "</a>\n        </div>\n    </div>\n</div>\n";
}

std::string PhotoEntry(const std::string& title, const std::string& id) {
  return "<a href=\"https://www.douban.com/photos/photo/" + id +
         "/\" class=\"photolst_photo\" title=\"" + title +
         "\">\n    <img src=\"https://img3.doubanio.com/view/photo/thumb/public/p" + id +
         ".jpg\" />\n</a>\n";
}

TEST(RegexMatcher, FindsAllMatchesInOrder) {
  RegexMatcher m;
  EXPECT_TRUE(m.RunPattern("[0-9]", "a1b22c"));
  ASSERT_EQ(m.MatchCount(), 3);
  EXPECT_EQ(m.MatchText(1), "1");
  EXPECT_EQ(m.MatchText(2), "2");
  EXPECT_EQ(m.MatchText(3), "2");
  EXPECT_EQ(m.MatchText(0), "");
  EXPECT_EQ(m.MatchText(4), "");
}

TEST(RegexMatcher, NoMatchIsASuccessfulRunWithNoMatches) {
  RegexMatcher m;
  EXPECT_TRUE(m.RunPattern("[0-9]", "abc"));
  EXPECT_EQ(m.MatchCount(), 0);
  EXPECT_TRUE(m.RunPattern("x", ""));
  EXPECT_EQ(m.MatchCount(), 0);
}

TEST(RegexMatcher, InvalidPatternGivesNoMatchesAndNoException) {
  RegexMatcher m;
  ASSERT_TRUE(m.RunPattern("[0-9]", "123"));
  for (const char* bad : {"(ab", "a)", "[a", "*a", "a{2,1}", "\\"}) {
    EXPECT_FALSE(m.RunPattern(bad, "ab ab")) << bad;
    EXPECT_EQ(m.MatchCount(), 0) << bad;
    EXPECT_EQ(m.MatchText(1), "") << bad;
    EXPECT_EQ(m.SubMatchText(1, 1), "") << bad;
  }
}

TEST(RegexMatcher, GroupsCountOpeningParenthesesAndAbsentGroupsAreEmpty) {
  RegexMatcher m;
  ASSERT_TRUE(m.RunPattern("(a(b))(x)?", "ab"));
  ASSERT_EQ(m.MatchCount(), 1);
  EXPECT_EQ(m.SubMatchText(1, 1), "ab");
  EXPECT_EQ(m.SubMatchText(1, 2), "b");
  EXPECT_EQ(m.SubMatchText(1, 3), "");
  EXPECT_EQ(m.SubMatchText(1, 4), "");
  EXPECT_EQ(m.SubMatchText(1, 0), "");
  EXPECT_EQ(m.SubMatchText(2, 1), "");
}

TEST(RegexMatcher, OptionsFollowTheArguments) {
  RegexMatcher m;
  m.RunPattern("class=", "CLASS= class=");
  EXPECT_EQ(m.MatchCount(), 2);
  m.RunPattern("class=", "CLASS= class=", true);
  EXPECT_EQ(m.MatchCount(), 1);
  m.RunPattern("^a", "a\na");
  EXPECT_EQ(m.MatchCount(), 2);
  m.RunPattern("^a", "a\na", false, false);
  EXPECT_EQ(m.MatchCount(), 1);
  // Without multi-line, "$" is the very end of the subject, not a final line feed.
  m.RunPattern("a$", "a\n", false, false);
  EXPECT_EQ(m.MatchCount(), 0);
  m.RunPattern("a$", "a\n");
  EXPECT_EQ(m.MatchCount(), 1);
  m.RunPattern("[0-9]", "123", false, true, false);
  EXPECT_EQ(m.MatchCount(), 1);
  m.RunPattern("title=#\xD2\xFD\xBA\xC5(.*?)#\xD2\xFD\xBA\xC5", "title=\"x\"", false, true, false,
               true);
  EXPECT_EQ(m.SubMatchText(1, 1), "x");
  m.RunPattern("#\xD2\xFD\xBA\xC5", "\"");
  EXPECT_EQ(m.MatchCount(), 0);
}

TEST(RegexMatcher, DotStopsOnlyAtLineFeed) {
  RegexMatcher m;
  m.RunPattern("a.b", "a\rb a\nb");
  ASSERT_EQ(m.MatchCount(), 1);
  EXPECT_EQ(m.MatchText(1), "a\rb");
  m.RunPattern("a[\\s\\S]b", "a\nb");
  EXPECT_EQ(m.MatchCount(), 1);
}

TEST(RegexMatcher, ChineseMatchesByCharactersAndComesBackAsGbk) {
  const Text& subject = AK_GBK("相册：北京（上） 旅行");
  RegexMatcher m;
  m.RunPattern(AK_GBK("北京（(.)）"), subject);
  ASSERT_EQ(m.MatchCount(), 1);
  EXPECT_EQ(m.MatchText(1), AK_GBK("北京（上）"));
  EXPECT_EQ(m.SubMatchText(1, 1), AK_GBK("上"));
  // "." takes one whole character, never one byte of it.
  m.RunPattern("^(.)", AK_GBK("旅行"));
  EXPECT_EQ(m.SubMatchText(1, 1), AK_GBK("旅"));
  // The trail byte 0x5C of 0xD5 0x5C is not a backslash to the engine.
  m.RunPattern("\\\\", "\xD5\x5C");
  EXPECT_EQ(m.MatchCount(), 0);
}

TEST(RegexMatcher, EscapesAndBackReferencesFollowScriptRules) {
  const struct {
    const char* name;
    Text pattern, subject;
    int count;
    Text first;
  } cases[] = {
      {"four-digit unicode escape", "\\u4E2D+", AK_GBK("a中中b"), 1, AK_GBK("中中")},
      {"two-digit hex escape", "\\x41", "zAz", 1, "A"},
      {"u without four hex digits is a letter", "\\uz", "uz", 1, "uz"},
      {"x without two hex digits is a letter", "\\xg", "xg", 1, "xg"},
      {"unset group matches empty", "(a)?\\1b", "b", 1, "b"},
      {"empty class matches nothing", "a[]", "a", 0, ""},
      {"negated empty class matches anything", "a[^]b", "a\nb", 1, "a\nb"},
  };
  for (const auto& c : cases) {
    RegexMatcher m;
    EXPECT_TRUE(m.RunPattern(c.pattern, c.subject)) << c.name;
    EXPECT_EQ(m.MatchCount(), c.count) << c.name;
    EXPECT_EQ(m.MatchText(1), c.first) << c.name;
  }
}

TEST(RegexMatcher, ASecondRunForgetsTheFirst) {
  RegexMatcher m;
  m.RunPattern("(a)(b)", "ab ab");
  ASSERT_EQ(m.MatchCount(), 2);
  m.RunPattern("c", "c");
  EXPECT_EQ(m.MatchCount(), 1);
  EXPECT_EQ(m.MatchText(2), "");
  EXPECT_EQ(m.SubMatchText(1, 1), "");
}

TEST(RegexMatcher, EmptyMatchesAdvanceOneCharacter) {
  RegexMatcher m;
  m.RunPattern("x*", AK_GBK("a中"));
  EXPECT_EQ(m.MatchCount(), 3);
  m.RunPattern("a*", "baa");
  ASSERT_EQ(m.MatchCount(), 3);
  EXPECT_EQ(m.MatchText(2), "aa");
}

TEST(RegexMatcher, BrokenInputDoesNotBreakTheRun) {
  RegexMatcher m;
  // A lone lead byte at the end and an invalid pair become U+FFFD for the engine.
  EXPECT_TRUE(m.RunPattern("a.", "ab a\xC8"));
  EXPECT_EQ(m.MatchCount(), 2);
  EXPECT_EQ(m.MatchText(2), "a?");
  // NUL bytes inside a body are ordinary characters to the engine; a match text ends at one.
  m.RunPattern("x[\\s\\S]y", std::string("x\0y", 3));
  ASSERT_EQ(m.MatchCount(), 1);
  EXPECT_EQ(m.MatchText(1), "x");
  EXPECT_TRUE(m.RunPattern("\xFF\xFF", "\xFF\xFF"));
}

TEST(RegexMatcher, AlbumPatternTakesTheThreeFields) {
  const std::string page = "<html>\n" + AlbumEntry("https://img/c1.jpg", "https://a/1/", "one") +
                           AlbumEntry("https://img/c2.jpg", "https://a/2/", AK_GBK("第二")) +
                           "</html>";
  RegexMatcher m;
  m.RunPattern(kAlbumPattern, page);
  ASSERT_EQ(m.MatchCount(), 2);
  EXPECT_EQ(m.SubMatchText(1, 1), "https://img/c1.jpg");
  EXPECT_EQ(m.SubMatchText(1, 2), "https://a/1/");
  EXPECT_EQ(m.SubMatchText(1, 3), "one");
  EXPECT_EQ(m.SubMatchText(2, 3), AK_GBK("第二"));
  // The indentation of the page is part of the pattern.
  m.RunPattern(kAlbumPattern, Replace(page, "\n    <div", "\n   <div"));
  EXPECT_EQ(m.MatchCount(), 0);
}

TEST(RegexMatcher, LargePagesFinishAndKeepEarlierMatches) {
  // Good entries, then a megabyte of entries whose picture addresses no longer fit the
  // pattern: each of them starts a search that fails only at the end of the page. The back
  // reference keeps the engine from short cuts, so only the work limit ends the search.
  const std::string pattern =
      "lass=\"photolst_photo\" title=\"([\\s\\S]*?)\">[\\s\\S]*?<img "
      "src=\"(.*?)/view/photo/thumb/public/p(.*?).jpg\" />(\\1)?";
  std::string page = PhotoEntry("a", "1") + PhotoEntry("b", "2");
  const std::string broken = Replace(PhotoEntry("c", "3"), "/thumb/", "/m/");
  while (page.size() < 1024 * 1024) page += broken;
  RegexMatcher m;
  EXPECT_TRUE(m.RunPattern(pattern, page));
  EXPECT_EQ(m.MatchCount(), 2);
  EXPECT_EQ(m.SubMatchText(2, 3), "2");

  // A 5 MB page of good entries is matched whole.
  std::string big;
  int entries = 0;
  while (big.size() < 5 * 1024 * 1024) big += PhotoEntry("t", std::to_string(++entries));
  m.RunPattern(pattern, big);
  EXPECT_EQ(m.MatchCount(), entries);
  EXPECT_TRUE(m.Complete());
  EXPECT_EQ(m.SubMatchText(entries, 3), std::to_string(entries));
}

TEST(RegexMatcher, CopiesAreIndependent) {
  RegexMatcher a;
  a.RunPattern("[0-9]", "12");
  RegexMatcher b = a;
  a.RunPattern("x", "");
  EXPECT_EQ(b.MatchCount(), 2);
  EXPECT_EQ(b.MatchText(2), "2");
}

}  // namespace
}  // namespace ak
