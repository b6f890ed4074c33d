#include <gtest/gtest.h>

#include "base/text_ops.h"

namespace ak {
namespace {

TEST(TextBetween, TakesTheTextBetweenTheMarkers) {
  const struct {
    const char* name;
    std::string text, left, right;
    int start;
    bool ignoreCase;
    std::string expected;
  } cases[] = {
      {"simple", "<b>x</b>", "<b>", "</b>", 1, false, "x"},
      {"first pair", "[a][b]", "[", "]", 1, false, "a"},
      {"from start", "[a][b]", "[", "]", 3, false, "b"},
      {"no left marker", "abc", "<", ">", 1, false, ""},
      {"no right marker after left", "a>b<c", "<", ">", 1, false, ""},
      {"empty between", "<>", "<", ">", 1, false, ""},
      {"case-sensitive by default", "User-Agent: x\r\n", "user-agent:", "\r\n", 1, false, ""},
      {"ignoring case", "User-Agent: x\r\n", "user-agent:", "\r\n", 1, true, " x"},
      {"quote token", "title=\"abc\" x", "title=" + std::string(QuoteToken),
       std::string(QuoteToken), 1, false, "abc"},
      {"left marker at end", "abc<", "<", ">", 1, false, ""},
      {"empty text", "", "<", ">", 1, false, ""},
      {"chinese markers", "\xA1\xBExy\xA1\xBF", "\xA1\xBE", "\xA1\xBF", 1, false, "xy"},
      {"marker inside a character is not a marker", "\xD5\x5Cx\\y\\", "\\", "\\", 1, false, "y"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected) << c.name;
}

TEST(TextBetween, ColonHelpersTrimAroundTheFirstColon) {
  EXPECT_EQ(TextAfterColon("a: b "), "b");
  EXPECT_EQ(TextAfterColon("no colon"), "");
  EXPECT_EQ(TextAfterColon("Host: a:80"), "a:80");
  EXPECT_EQ(TextAfterColon("x:"), "");
  EXPECT_EQ(TextBeforeColon(" Accept : */*"), "Accept");
  EXPECT_EQ(TextBeforeColon("no colon"), "");
  EXPECT_EQ(TextBeforeColon(":v"), "");
  // The full-width colon 0xA3 0xBA is not a colon.
  EXPECT_EQ(TextAfterColon("a\xA3\xBA b"), "");
}

TEST(TextBetween, QuoteTokenIsTheGbkMarker) {
  EXPECT_EQ(std::string(QuoteToken), "#\xD2\xFD\xBA\xC5");
}

}  // namespace
}  // namespace ak
