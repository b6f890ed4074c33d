#include "base/profile_file.h"

#include <gtest/gtest.h>

#include "base/profile_text.h"

namespace ak {
namespace {

struct LookupCase {
  const char* name;
  std::string content;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};

TEST(ProfileLookup, FindsValuesByTheReadRules) {
  const LookupCase cases[] = {
      {"plain", "[a]\r\nk=v\r\n", "a", "k", "v"},
      {"LF alone", "[a]\nk=v\n", "a", "k", "v"},
      {"no line end at the end", "[a]\r\nk=v", "a", "k", "v"},
      {"blanks around = and at the end", "[a]\r\n  k \t=  v w \t\r\n", "a", "k", "v w"},
      {"blanks inside the header", "[ a ]\r\nk=v\r\n", "a", "k", "v"},
      {"text after the header", "[a] ; note\r\nk=v\r\n", "a", "k", "v"},
      {"section case", "[SeCt]\r\nk=v\r\n", "sect", "k", "v"},
      {"key case", "[a]\r\nKey=v\r\n", "a", "kEY", "v"},
      {"empty value is found", "[a]\r\nk=\r\n", "a", "k", ""},
      {"value keeps later =", "[a]\r\nk=x=y\r\n", "a", "k", "x=y"},
      {"first key wins", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "1"},
      {"first section wins", "[a]\r\nx=1\r\n[a]\r\nk=2\r\n", "a", "k", std::nullopt},
      {"key of another section", "[a]\r\nk=1\r\n[b]\r\n", "b", "k", std::nullopt},
      {"key before any section", "k=1\r\n[a]\r\n", "a", "k", std::nullopt},
      {"missing section", "[a]\r\nk=1\r\n", "b", "k", std::nullopt},
      {"comment is not a key", "[a]\r\n;k=1\r\n", "a", "k", std::nullopt},
      {"line without =", "[a]\r\nk\r\n", "a", "k", std::nullopt},
      {"prefix of a key", "[a]\r\nkey=1\r\n", "a", "ke", std::nullopt},
      {"empty file", "", "a", "k", std::nullopt},
      {"GBK names", "[\xC8\xAB\xBE\xD6]\r\n\xCF\xC2\xD4\xD8=1\r\n", "\xC8\xAB\xBE\xD6",
       "\xCF\xC2\xD4\xD8", "1"},
      // 0xB5 0x5D is one character whose second byte is "]": the name does not end there.
      {"trail byte ]", "[x\xB5]y]\r\nk=1\r\n", "x\xB5]y", "k", "1"},
      // Trail bytes that look like ASCII letters are not folded.
      {"trail byte letter", "[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileLookup(c.content, c.section, c.key), c.expected) << c.name;
  }
}

struct UpdateCase {
  const char* name;
  std::string content;
  std::string section;
  std::string key;
  std::string value;
  std::string expected;
};

TEST(ProfileUpdate, ChangesOnlyTheKeyLine) {
  const UpdateCase cases[] = {
      {"new file", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"replace in place", "; top\r\n[s]\r\na=1\r\nk = old \r\nb=2\r\n\r\n[t]\r\nk=x\r\n", "s", "k",
       "new", "; top\r\n[s]\r\na=1\r\nk=new\r\nb=2\r\n\r\n[t]\r\nk=x\r\n"},
      {"replace keeps file's spelling of the key", "[S]\r\nKey=1\r\n", "s", "KEY", "2",
       "[S]\r\nKey=2\r\n"},
      {"LF lines elsewhere stay", "[s]\nk=1\nz=9\n", "s", "k", "2", "[s]\nk=2\r\nz=9\n"},
      {"add at the end of its section, before blank lines", "[s]\r\na=1\r\n\r\n\r\n[t]\r\nb=2\r\n",
       "s", "k", "v", "[s]\r\na=1\r\nk=v\r\n\r\n\r\n[t]\r\nb=2\r\n"},
      {"add to a section of the header only", "[s]\r\n[t]\r\n", "s", "k", "v",
       "[s]\r\nk=v\r\n[t]\r\n"},
      {"add after comments of the section", "[s]\r\na=1\r\n; c\r\n", "s", "k", "v",
       "[s]\r\na=1\r\n; c\r\nk=v\r\n"},
      {"add to the last section without line end", "[s]\r\na=1", "s", "k", "v",
       "[s]\r\na=1\r\nk=v\r\n"},
      {"last line ends in CR alone", "[s]\r\na=1\r", "t", "k", "v", "[s]\r\na=1\r\n[t]\r\nk=v\r\n"},
      {"add a section at the end", "[s]\r\na=1\r\n", "t", "k", "v", "[s]\r\na=1\r\n[t]\r\nk=v\r\n"},
      {"add a section after a last line without line end", "; x", "t", "k", "v",
       "; x\r\n[t]\r\nk=v\r\n"},
      {"empty value", "[s]\r\nk=1\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
      {"names trimmed", "", " s ", " k\t", "v", "[s]\r\nk=v\r\n"},
      {"value kept as given", "", "s", "k", " v ", "[s]\r\nk= v \r\n"},
      {"same value rewrites the same bytes", "[s]\r\nk=1\r\n", "s", "k", "1", "[s]\r\nk=1\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileUpdate(c.content, c.section, c.key, c.value), c.expected) << c.name;
  }
}

TEST(ProfileUpdate, RefusesTextsThatWouldNotReadBack) {
  const struct {
    const char* name;
    std::string section, key, value;
  } cases[] = {
      {"empty section", "", "k", "v"},
      {"blank section", "  ", "k", "v"},
      {"empty key", "s", "", "v"},
      {"LF in value", "s", "k", "a\nb"},
      {"CR in value", "s", "k", "a\rb"},
      {"line break in key", "s", "k\nx", "v"},
      {"line break in section", "s\r", "k", "v"},
      {"= in key", "s", "a=b", "v"},
      {"] in section", "a]b", "k", "v"},
      {"key like a header", "s", "[k", "v"},
      {"key like a comment", "s", ";k", "v"},
      {"section ending in half a character", "s\xB5", "k", "v"},
      {"key ending in half a character", "s", "k\xB5", "v"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileUpdate("[s]\r\nk=1\r\n", c.section, c.key, c.value), std::nullopt) << c.name;
  }
}

TEST(ProfileUpdate, WrittenValuesReadBackAndOthersSurvive) {
  std::string content = "[s]\r\na=1\r\n";
  const std::string values[] = {"x", "", "\xD5\xFD\xD4\xF2", "y=z", "last"};
  for (const auto& v : values) {
    content = ProfileUpdate(content, "s", "k", v).value();
    content = ProfileUpdate(content, "other", "k", "o" + v).value();
    EXPECT_EQ(ProfileLookup(content, "s", "k"), v);
    EXPECT_EQ(ProfileLookup(content, "other", "k"), "o" + v);
    EXPECT_EQ(ProfileLookup(content, "s", "a"), "1");
  }
  EXPECT_EQ(content, "[s]\r\na=1\r\nk=last\r\n[other]\r\nk=olast\r\n");
}

TEST(ProfileText, CutNeverSplitsADoubleByteCharacter) {
  using profile::CutWhole;
  EXPECT_EQ(CutWhole("abc", 5), "abc");
  EXPECT_EQ(CutWhole("abcdef", 3), "abc");
  EXPECT_EQ(CutWhole("a\xD5\xFD", 2), "a");
  EXPECT_EQ(CutWhole("a\xD5\xFD", 3), "a\xD5\xFD");
  EXPECT_EQ(CutWhole("\xD5\xFD\xD5\xFD", 3), "\xD5\xFD");
  // A lone lead byte at the very end counts as one byte.
  EXPECT_EQ(CutWhole("ab\xD5", 3), "ab\xD5");
}

}  // namespace
}  // namespace ak
