#include "net/cookies.h"

#include <gtest/gtest.h>

namespace ak {
namespace {

TEST(Cookies, MergePutsResponseCookiesFirstAndRemovesBlanks) {
  const struct {
    const char* name;
    Text kept, response;
    Text merged, responseAfter;
  } cases[] = {
      {"replace and add", "a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"deletion", "a=1; b=2", "b=deleted", "a=1", "b=deleted"},
      {"deletion of a new cookie", "", "x=deleted; y=1", "y=1", "x=deleted;y=1"},
      {"nothing kept", "", "x=1", "x=1", "x=1"},
      {"nothing new", "x=1", "", "x=1", ""},
      {"both empty", "", "", "", ""},
      {"blank in a value", "", "s=a b", "s=ab", "s=ab"},
      {"ideographic blank", "",
       "s=a\xA1\xA1"
       "b",
       "s=ab", "s=ab"},
      {"first old piece of a name wins", "a=1; a=2", "", "a=1", ""},
      {"identical new pieces", "", "c=1; c=1", "c=1", "c=1;c=1"},
      {"same name new pieces", "", "c=1; c=2", "c=1; c=2", "c=1;c=2"},
      {"names are case-sensitive", "A=1", "a=2", "a=2; A=1", "a=2"},
      {"piece without equals", "flag", "x=1", "x=1; flag", "x=1"},
      {"empty pieces dropped", "a=1;;b=2", "; c=3", "c=3; a=1; b=2", ";c=3"},
      {"trailing separator", "a=1;", "", "a=1", ""},
  };
  for (const auto& c : cases) {
    Text kept = c.kept;
    Text response = c.response;
    EXPECT_EQ(MergeCookies(kept, response), c.merged) << c.name;
    EXPECT_EQ(kept, c.merged) << c.name;
    EXPECT_EQ(response, c.responseAfter) << c.name;
  }
}

TEST(Cookies, MergedStringsMergeAgainUnchanged) {
  Text kept = "a=1; b=2";
  Text response = "b=3";
  MergeCookies(kept, response);
  Text again = kept;
  Text none;
  EXPECT_EQ(MergeCookies(again, none), kept);
}

TEST(Cookies, CookieNameIsTheTrimmedTextBeforeTheFirstEquals) {
  EXPECT_EQ(CookieName(" bid = x"), "bid");
  EXPECT_EQ(CookieName("a=b=c"), "a");
  EXPECT_EQ(CookieName(" flag "), "flag");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_EQ(CookieName(""), "");
}

TEST(Cookies, RemoveDuplicatePiecesKeepsFirstOccurrences) {
  EXPECT_EQ(RemoveDuplicatePieces("a; b; a; c; b", "; "), "a; b; c");
  EXPECT_EQ(RemoveDuplicatePieces("a; A", "; "), "a; A");
  EXPECT_EQ(RemoveDuplicatePieces("", "; "), "");
  EXPECT_EQ(RemoveDuplicatePieces("x", "; "), "x");
  EXPECT_EQ(RemoveDuplicatePieces("a,,b,", ","), "a,,b");
}

TEST(Cookies, SetCookieExtractionTakesNameValuePieces) {
  const struct {
    const char* name;
    Text headers;
    Text cookies;
  } cases[] = {
      {"two lines", "HTTP/1.1 200 OK\r\nset-cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n",
       "a=1; b=2"},
      {"none", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", ""},
      {"empty", "", ""},
      {"attributes dropped", "Set-Cookie: bid=\"x\"; Expires=Wed; Domain=.d.com", "bid=\"x\""},
      {"line without value", "Set-Cookie:\r\nSet-Cookie: b=2", "; b=2"},
      {"no line break", "Set-Cookie: only=1", "only=1"},
      {"spacing", "Set-Cookie:   c=3 ;x", "c=3"},
  };
  for (const auto& c : cases) EXPECT_EQ(SetCookieExtraction(c.headers), c.cookies) << c.name;
}

}  // namespace
}  // namespace ak
