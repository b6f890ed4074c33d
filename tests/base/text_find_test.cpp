#include <gtest/gtest.h>

#include "base/text_ops.h"

namespace ak {
namespace {

// 0xD5 0x5C and 0xB6 0x7C are double-byte characters whose trail bytes look like '\' and '|';
// 0x81 0x41 is one whose trail byte looks like 'A'.
const std::string kBackslashTrail = "\xD5\x5C";
const std::string kBarTrail = "\xB6\x7C";
const std::string kLetterTrail = "\x81\x41";

struct FindCase {
  const char* name;
  std::string text;
  std::string part;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(TextFind, FindsFirstOccurrenceOnCharacterBoundaries) {
  const FindCase cases[] = {
      {"plain", "hello world", "o", 1, false, 5},
      {"from start", "hello world", "o", 6, false, 8},
      {"start on the match", "hello world", "o", 5, false, 5},
      {"start below one", "abc", "a", -3, false, 1},
      {"start past the end", "abc", "a", 9, false, -1},
      {"absent", "abc", "x", 1, false, -1},
      {"case differs", "ABC", "b", 1, false, -1},
      {"ignoring case", "ABC", "b", 1, true, 2},
      {"empty part", "abc", "", 1, false, 1},
      {"empty part from start", "abc", "", 3, false, 3},
      {"empty text", "", "", 1, false, -1},
      {"empty text, part", "", "a", 1, false, -1},
      {"part longer than text", "ab", "abc", 1, false, -1},
      {"never on a trail byte", "x" + kBackslashTrail + "\\", "\\", 1, false, 4},
      {"trail byte only", kBackslashTrail, "\\", 1, false, -1},
      {"bar trail", kBarTrail + "|", "|", 1, true, 3},
      {"chinese part", "ab\xC8\xAB\xB2\xBF", "\xB2\xBF", 1, false, 5},
      {"misaligned chinese", "\xC8\xAB\xB2\xBF", "\xAB\xB2", 1, false, -1},
      {"trail letter is not folded", kLetterTrail, "\x81\x61", 1, true, -1},
      {"trail letter exact", "a" + kLetterTrail, kLetterTrail, 1, true, 2},
      {"ignore case skips trail", kLetterTrail + "a", "a", 1, true, 3},
      {"lone lead at end", "ab\xC8", "\xC8", 1, false, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Find(c.text, c.part, c.start, c.ignoreCase), c.expected) << c.name;
}

TEST(TextFind, FindLastStepsOverDoubleByteCharacters) {
  EXPECT_EQ(FindLast("a/b/c", "/"), 4);
  EXPECT_EQ(FindLast("abc", "/"), -1);
  EXPECT_EQ(FindLast("", "/"), -1);
  EXPECT_EQ(FindLast("abc", ""), -1);
  EXPECT_EQ(FindLast("\\" + kBackslashTrail, "\\"), 1);
  EXPECT_EQ(FindLast("aaaa", "aa"), 3);
}

struct ReplaceCase {
  const char* name;
  std::string text;
  std::string part;
  std::string replacement;
  int start;
  int count;
  bool caseSensitive;
  std::string expected;
};

TEST(TextFind, ReplaceFollowsStartCountAndCase) {
  const ReplaceCase cases[] = {
      {"all", "a-b-c", "-", "+", 1, -1, false, "a+b+c"},
      {"count zero means all", "a-b-c", "-", "+", 1, 0, false, "a+b+c"},
      {"first one", "a-b-c", "-", "+", 1, 1, false, "a+b-c"},
      {"from start", "a-b-c", "-", "+", 3, -1, false, "a-b+c"},
      {"start past end", "a-b", "-", "+", 10, -1, false, "a-b"},
      {"removal", "a-b-c", "-", "", 1, -1, false, "abc"},
      {"ignores case by default", "Set-COOKIE x set-cookie", "set-cookie", "Set-Cookie", 1, -1,
       false, "Set-Cookie x Set-Cookie"},
      {"case-sensitive", "aAa", "a", "b", 1, -1, true, "bAb"},
      {"no overlap", "aaaa", "aa", "b", 1, -1, true, "bb"},
      {"replacement holds the part", "ab", "a", "aa", 1, -1, true, "aab"},
      {"empty part", "abc", "", "x", 1, -1, false, "abc"},
      {"empty text", "", "a", "x", 1, -1, false, ""},
      {"trail byte kept", kBackslashTrail + "\\", "\\", "/", 1, -1, true, kBackslashTrail + "/"},
      {"trail letter kept", kLetterTrail + "A", "a", "b", 1, -1, false, kLetterTrail + "b"},
      {"nul inside", std::string("a\0b\0", 4), std::string("\0", 1), "-", 1, -1, true, "a-b-"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Replace(c.text, c.part, c.replacement, c.start, c.count, c.caseSensitive), c.expected)
        << c.name;
}

TEST(TextFind, SplitKeepsInnerEmptyPiecesButNotTheLast) {
  using Pieces = std::vector<Text>;
  EXPECT_EQ(Split("a;;b;", ";"), (Pieces{"a", "", "b"}));
  EXPECT_EQ(Split(";a", ";"), (Pieces{"", "a"}));
  EXPECT_EQ(Split(";", ";"), (Pieces{""}));
  EXPECT_EQ(Split("", ";"), Pieces{});
  EXPECT_EQ(Split("abc", ";"), (Pieces{"abc"}));
  EXPECT_EQ(Split("abc", ""), (Pieces{"abc"}));
  EXPECT_EQ(Split("a\r\nb\r\n\r\nc", "\r\n"), (Pieces{"a", "b", "", "c"}));
  EXPECT_EQ(Split("a; b; c", "; "), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(Split(kBarTrail + "|x", "|"), (Pieces{kBarTrail, "x"}));
}

TEST(TextFind, LargeTextsStayLinear) {
  // A 4 MB text of double-byte characters whose trail bytes all look like the part: a search
  // that tried every byte would still be linear, but one that restarted its boundary walk for
  // every candidate would not finish.
  std::string text;
  for (int i = 0; i < 2 * 1024 * 1024; ++i) text += kBackslashTrail;
  EXPECT_EQ(Find(text, "\\"), -1);
  EXPECT_EQ(Replace(text, "\\", "/", 1, -1, true), text);
  text += "\\";
  EXPECT_EQ(Find(text, "\\"), static_cast<int>(text.size()));
  EXPECT_EQ(Split(text, "\\").size(), 1u);
}

}  // namespace
}  // namespace ak
