#include "albums/name_cleaning.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/codec.h"

namespace ak {
namespace {

// Double-byte characters whose trail bytes equal an ASCII character a cleaner removes.
const std::string kBackslashTrail = "\xD5\x5C";
const std::string kBarTrail = "\xB6\x7C";
const std::string kColonTrail = "\x81\x3A";
const std::string kQuestionTrail = "\x81\x3F";
const std::string kIdeographicSpace = "\xA1\xA1";

Text Album(Text name) { return CleanAlbumName(name); }
Text Description(Text text, int maxLength = 240) { return CleanDescription(text, maxLength); }

TEST(NameCleaning, AlbumNamesLoseEveryListedCharacter) {
  const struct {
    const char* name;
    Text input, expected;
  } cases[] = {
      {"date and brackets", AK_GBK("2015.10.1 旅行：北京（上）"), AK_GBK("2015101旅行北京上")},
      {"ascii set", "a:b\\c/d?e*f<g>h|i.j k&l\nm\rn", "abcdefghijklmn"},
      {"full-width set", AK_GBK("甲：乙、丙？丁。戊（己）庚·辛！壬，癸"),
       AK_GBK("甲乙丙丁戊己庚辛壬癸")},
      {"full-width space kept", AK_GBK("春　天"), AK_GBK("春　天")},
      {"only removed characters", AK_GBK("？？？"), ""},
      {"dots", "...", ""},
      {"empty", "", ""},
      {"kept characters", "a-b_c(d)'e\"f", "a-b_c(d)'e\"f"},
      {"ampersand", "A&B", "AB"},
      {"space", "a b", "ab"},
      {"escaped line break keeps the letter", "a\\nb\\r", "anbr"},
      {"trail bytes kept", kBackslashTrail + kBarTrail + kColonTrail + kQuestionTrail + "/",
       kBackslashTrail + kBarTrail + kColonTrail + kQuestionTrail},
  };
  for (const auto& c : cases) EXPECT_EQ(Album(c.input), c.expected) << c.name;
}

TEST(NameCleaning, CleanersRewriteTheCallersVariable) {
  Text name = "a:b";
  EXPECT_EQ(CleanAlbumName(name), "ab");
  EXPECT_EQ(name, "ab");
  Text text = " x/y ";
  EXPECT_EQ(CleanDescription(text, 240), "xy");
  EXPECT_EQ(text, "xy");
}

TEST(NameCleaning, DescriptionsFollowTheirOwnList) {
  const struct {
    const char* name;
    Text input, expected;
  } cases[] = {
      {"ampersand and inner space kept", "A&B a b", "A&B a b"},
      {"quotes removed", "say \"hi\"", "say hi"},
      {"escaped line breaks removed whole", "line\\nnext\\rend", "linenextend"},
      {"real line breaks", "a\r\nb\nc\rd", "abcd"},
      {"ascii set", "a:b\\c/d?e*f<g>h|i.j", "abcdefghij"},
      {"full-width set", AK_GBK("甲：乙、丙？丁。戊（己）庚·辛！壬，癸"),
       AK_GBK("甲乙丙丁戊己庚辛壬癸")},
      {"ends trimmed", kIdeographicSpace + " x y " + kIdeographicSpace, "x y"},
      {"trail bytes kept", kBackslashTrail + "n" + kBarTrail, kBackslashTrail + "n" + kBarTrail},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Description(c.input), c.expected) << c.name;
}

// Control characters from the service (terminal escape sequences, NUL, DEL, tabs) never reach a
// name; each cleaner removes them after its own list, so the list's results stay as they were.
TEST(NameCleaning, BothCleanersRemoveControlCharacters) {
  const std::string every = [] {
    std::string all;
    for (int c = 0; c < 0x20; ++c) all += static_cast<char>(c);
    return all + "\x7F";
  }();
  const struct {
    const char* name;
    Text input, album, description;
  } cases[] = {
      {"every control", "a" + every + "b", "ab", "ab"},
      {"colour escape", "\x1B[31mred\x1B[0m", "[31mred[0m", "[31mred[0m"},
      {"title escape", "\x1B]0;x\x07y", "]0;xy", "]0;xy"},
      {"NUL first", std::string("\0name", 5), "name", "name"},
      {"only controls", "\x01\x1F\x7F", "", ""},
      {"tab between words", "a\tb c", "abc", "ab c"},
      // Removed after the list: a control between a backslash and n does not make a pair.
      {"no new pairs", "x\\\x01n", "xn", "xn"},
      {"between double-byte characters", AK_GBK("春") + "\x1B" + kBackslashTrail + "\x7F",
       AK_GBK("春") + kBackslashTrail, AK_GBK("春") + kBackslashTrail},
      // A lead byte without its trail does not shelter the control after it.
      {"lead before a control", "a\xC8\x1B", "a\xC8", "a"},
      {"trimmed after removal", "\x01 x \x02", "x", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Album(c.input), c.album) << c.name;
    EXPECT_EQ(Description(c.input), c.description) << c.name;
  }
}

TEST(NameCleaning, DescriptionsAreCutOnCharacterBoundaries) {
  Text chinese;
  for (int i = 0; i < 200; ++i) chinese += "\xC8\xAB";  // 400 bytes
  Text odd = "a" + chinese;                             // a cut at 240 splits a character
  EXPECT_EQ(Description(chinese), chinese.substr(0, 240));
  EXPECT_EQ(Description(odd), odd.substr(0, 239));
  EXPECT_EQ(Description(std::string(300, 'x')).size(), 240u);
  EXPECT_EQ(Description("short", 240), "short");
  EXPECT_EQ(Description("abc", 0), "");
  // The cut comes before the trimming: blanks that the cut leaves at the end go too.
  EXPECT_EQ(Description("ab   cd", 4), "ab");
}

TEST(NameCleaning, DigitsOfKeepsOnlyAsciiDigits) {
  EXPECT_EQ(DigitsOf("https://www.douban.com/photos/album/123/"), "123");
  EXPECT_EQ(DigitsOf("no digits"), "");
  EXPECT_EQ(DigitsOf(""), "");
  EXPECT_EQ(DigitsOf("a1b2" + std::string("\xA3\xB3") + "4"), "124");
}

TEST(NameCleaning, RandomInRangeStaysInItsRange) {
  EXPECT_EQ(RandomInRange(5, 4), 0);
  EXPECT_EQ(RandomInRange(7, 7), 7);
  for (int i = 0; i < 1000; ++i) {
    int value = RandomInRange(-3, 3);
    ASSERT_GE(value, -3);
    ASSERT_LE(value, 3);
  }
  // Spans wider than INT_MAX must not overflow: every draw stays inside its range.
  const struct {
    int low, high;
  } wideRanges[] = {
      {INT_MIN, 0}, {-1, INT_MAX}, {INT_MAX - 1, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}};
  for (const auto& range : wideRanges) {
    for (int i = 0; i < 1000; ++i) {
      const int value = RandomInRange(range.low, range.high);
      ASSERT_GE(value, range.low) << range.low << ".." << range.high;
      ASSERT_LE(value, range.high) << range.low << ".." << range.high;
    }
  }
  // Over the whole int range any value is inside, so what can go wrong is a span that wraps
  // round to nothing (a division by zero) or to a handful of values (one value over and over):
  // draws taken at different moments must differ.
  const int first = RandomInRange(INT_MIN, INT_MAX);
  bool differs = false;
  for (int i = 0; i < 1'000'000 && !differs; ++i)
    differs = RandomInRange(INT_MIN, INT_MAX) != first;
  EXPECT_TRUE(differs);
}

TEST(NameCleaning, RandomLettersFollowTheCase) {
  auto all = [](const Text& text, char first, char last) {
    for (char c : text)
      if (c < first || c > last) return false;
    return true;
  };
  EXPECT_EQ(RandomLetters(0, 0), "");
  EXPECT_EQ(RandomLetters(-2, 0), "");
  Text lower = RandomLetters(3, 0);
  EXPECT_EQ(lower.size(), 3u);
  EXPECT_TRUE(all(lower, 'a', 'z')) << lower;
  Text upper = RandomLetters(50, 1);
  EXPECT_TRUE(all(upper, 'A', 'Z')) << upper;
  Text mixed = RandomLetters(200, 7);
  ASSERT_EQ(mixed.size(), 200u);
  for (char c : mixed) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) << c;
}

}  // namespace
}  // namespace ak
