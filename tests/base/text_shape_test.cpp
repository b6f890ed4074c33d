#include <gtest/gtest.h>

#include <climits>

#include "base/text_ops.h"

namespace ak {
namespace {

const std::string kIdeographicSpace = "\xA1\xA1";

TEST(TextShape, TrimRemovesBothKindsOfBlankAtTheEndsOnly) {
  const struct {
    const char* name;
    std::string text;
    std::string expected;
  } cases[] = {
      {"ascii", "  a b  ", "a b"},
      {"ideographic", kIdeographicSpace + "a" + kIdeographicSpace + kIdeographicSpace, "a"},
      {"mixed", " " + kIdeographicSpace + " a " + kIdeographicSpace, "a"},
      {"line break kept", " a\r\n ", "a\r\n"},
      {"tab kept", "\ta\t", "\ta\t"},
      {"only blanks", " " + kIdeographicSpace + " ", ""},
      {"empty", "", ""},
      // 0xB0 0xA1 is one character; the 0xA1 after it is a lone lead byte, not half a blank.
      {"A1 pair across characters", "\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      {"lone A1 at end", "a \xA1", "a \xA1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Trim(c.text), c.expected) << c.name;
}

TEST(TextShape, RemoveBlanksRemovesEveryWholeBlank) {
  EXPECT_EQ(RemoveBlanks(" a b" + kIdeographicSpace + "c "), "abc");
  EXPECT_EQ(RemoveBlanks("s=a b"), "s=ab");
  // 0xB0 0xA1 is one character: the ideographic space is the pair after it, not bytes 2-3.
  EXPECT_EQ(RemoveBlanks("\xB0\xA1\xA1\xA1 x"), "\xB0\xA1x");
  EXPECT_EQ(RemoveBlanks("\xB0\xA1\xA1x"), "\xB0\xA1\xA1x");
  EXPECT_EQ(RemoveBlanks("a\tb\n"), "a\tb\n");
  EXPECT_EQ(RemoveBlanks(""), "");
}

TEST(TextShape, LeftRightMidCountBytes) {
  EXPECT_EQ(Left("abcdef", 2), "ab");
  EXPECT_EQ(Left("abc", 0), "");
  EXPECT_EQ(Left("abc", -1), "");
  EXPECT_EQ(Left("abc", 10), "abc");
  EXPECT_EQ(Right("abcdef", 2), "ef");
  EXPECT_EQ(Right("abc", 0), "");
  EXPECT_EQ(Right("abc", 10), "abc");
  EXPECT_EQ(Right("x=deleted", 8), "=deleted");
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
  EXPECT_EQ(Mid("abcdef", 7, 1), "");
  EXPECT_EQ(Mid("abcdef", 0, 2), "ab");
  EXPECT_EQ(Mid("abcdef", 2, 0), "");
  EXPECT_EQ(Left("\xC8\xAB\xB2\xBF", 3), "\xC8\xAB\xB2");
}

TEST(TextShape, LowerCaseLeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(LowerCase("HTTPS://A.B/Path"), "https://a.b/path");
  EXPECT_EQ(LowerCase("\x81\x41Z"), "\x81\x41z");
  EXPECT_EQ(LowerCase(""), "");
  EXPECT_EQ(LowerCase("Z\xC8"), "z\xC8");
}

TEST(TextShape, ToIntegerReadsTheLeadingNumber) {
  const struct {
    std::string text;
    int expected;
  } cases[] = {
      {"123", 123},
      {"  42abc", 42},
      {"-17", -17},
      {"+5", 5},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"12 34", 12},
      {"\xA3\xB1\xA3\xB2\xA3\xB3", 123},  // full-width 123
      {"\xA3\xAD\xA3\xB9", -9},           // full-width minus nine
      {"\xA3\xAB"
       "7",
       7},
      {"1\xA3\xB0", 10},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"\xC8\xAB"
       "5",
       0},
      {"\xA3", 0},  // lone lead byte
  };
  for (const auto& c : cases) EXPECT_EQ(ToInteger(c.text), c.expected) << c.text;
}

TEST(TextShape, CompleteGbkLengthDropsOnlyALoneLeadAtTheEnd) {
  EXPECT_EQ(CompleteGbkLength(""), 0u);
  EXPECT_EQ(CompleteGbkLength("ab"), 2u);
  EXPECT_EQ(CompleteGbkLength("a\xC8\xAB"), 3u);
  EXPECT_EQ(CompleteGbkLength("a\xC8\xAB\xB2"), 3u);
  EXPECT_EQ(CompleteGbkLength("\xD5\x5C\xD5"), 2u);
}

}  // namespace
}  // namespace ak
