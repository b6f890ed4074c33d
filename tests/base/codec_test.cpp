#include "base/codec.h"

#include <gtest/gtest.h>

namespace ak {
namespace {

struct CodecCase {
  const char* name;
  std::string utf8;
  std::string gbk;
};

TEST(Codec, Utf8ToGbkConvertsCharacterByCharacter) {
  const CodecCase cases[] = {
      {"empty", "", ""},
      {"ascii", "abc <a href=\"x\">", "abc <a href=\"x\">"},
      {"chinese", "全部下载完毕", "\xC8\xAB\xB2\xBF\xCF\xC2\xD4\xD8\xCD\xEA\xB1\xCF"},
      {"mixed", "a：b",
       "a\xA3\xBA"
       "b"},
      {"euro is 0x80", "\xE2\x82\xAC", "\x80"},
      {"not in GBK", "a\xF0\x9F\x98\x80z", "a?z"},
      {"invalid byte", "a\xFFz", "a?z"},
      {"cut-off sequence at end", "a\xE5\xBD", "a??"},
      {"lone continuation", "\x80x", "?x"},
      // Sequences that look whole but encode no character are broken bytes, one '?' each.
      {"surrogate", "a\xED\xA0\x80z", "a???z"},
      {"overlong three-byte form", "a\xE0\x80\xAFz", "a???z"},
      {"overlong four-byte form", "a\xF0\x8F\xBF\xBFz", "a????z"},
      {"past U+10FFFF", "a\xF4\x90\x80\x80z", "a????z"},
      {"overlong two-byte form", "a\xC0\xAFz", "a??z"},
      {"lead byte past F4", "a\xF5\x80\x80\x80z", "a????z"},
      // The edges of those ranges are characters: U+D7FF and U+E000 are not in GBK (one '?'
      // each), U+0800 neither, U+10FFFF neither.
      {"last before the surrogates", "a\xED\x9F\xBFz", "a?z"},
      {"first after the surrogates", "a\xEE\x80\x80z", "a?z"},
      {"smallest three-byte form", "a\xE0\xA0\x80z", "a?z"},
      {"largest code point", "a\xF4\x8F\xBF\xBFz", "a?z"},
      {"broken sequence between characters", "\xE5\x85\xA8\xED\xA0\x80\xE9\x83\xA8",
       "\xC8\xAB???\xB2\xBF"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.name;
}

TEST(Codec, Utf8ToGbkTextEndsAtFirstNul) {
  EXPECT_EQ(Utf8ToGbk(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(Codec().Utf8ToGbk(std::string("ab\0cd", 5)), std::string("ab\0cd", 5));
}

TEST(Codec, GbkToUtf8RoundTripsAndReplacesBrokenCharacters) {
  const std::string gbk = "\xC8\xAB\xB2\xBF x \xD5\x5C\xB6\x7C";  // trail bytes 0x5C and 0x7C
  EXPECT_EQ(Utf8ToGbk(GbkToUtf8(gbk)), gbk);
  EXPECT_EQ(GbkToUtf8("a\xC8"), "a\xEF\xBF\xBD");  // lone lead byte at the end
  EXPECT_EQ(GbkToUtf8("\xFF"
                      "a"),
            "\xEF\xBF\xBD"
            "a");
}

TEST(Codec, GbkLiteralIsConvertedOnce) {
  const Text& first = AK_GBK("信息：");
  EXPECT_EQ(first, "\xD0\xC5\xCF\xA2\xA3\xBA");
}

TEST(Codec, LargeMostlyAsciiPageSurvivesBothWays) {
  std::string page;
  for (int i = 0; i < 20000; ++i)
    page += "<div class=\"pl2\">相册 " + std::to_string(i) + "</div>\n";
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(page)), page);
}

}  // namespace
}  // namespace ak

namespace ak {
namespace {

TEST(Codec, GbkCanHoldOnlyTextThatComesBackUnchanged) {
  struct Case {
    const char* utf8;
    bool held;
  } cases[] = {
      {"", true},
      {"/tmp/相册/旅行 2015", true},
      {"/tmp/what?", true},                      // a real question mark is a character of GBK
      {"/tmp/\xE2\x82\xAC", true},               // the euro sign is 0x80
      {"/tmp/\xEC\x82\xAC\xEC\xA7\x84", false},  // Hangul
      {"/tmp/\xF0\x9F\x98\x80", false},          // an emoji
      {"/tmp/\xFF", false},                      // not UTF-8
  };
  for (const Case& c : cases) EXPECT_EQ(GbkCanHold(c.utf8), c.held) << c.utf8;
  EXPECT_FALSE(GbkCanHold(std::string_view("a\0b", 3)));
}

}  // namespace
}  // namespace ak
