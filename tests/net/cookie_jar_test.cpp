#include "net/cookie_jar.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

namespace ak {
namespace {

StoredCookie Cookie(std::string domain, std::string name, std::string value,
                    std::string path = "/") {
  StoredCookie cookie;
  cookie.domain = std::move(domain);
  cookie.name = std::move(name);
  cookie.value = std::move(value);
  cookie.path = std::move(path);
  return cookie;
}

TEST(CookieJarTest, SetReplacesSameDomainPathAndName) {
  CookieJar jar;
  jar.Set(Cookie(".Douban.com", "bid", "1"));
  jar.Set(Cookie("douban.com", "bid", "2"));
  jar.Set(Cookie("douban.com", "bid", "3", "/people"));
  jar.Set(Cookie("www.douban.com", "bid", "4"));
  const auto all = jar.All();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].domain, "douban.com");
  EXPECT_EQ(all[0].value, "2");
  EXPECT_EQ(all[1].path, "/people");
  EXPECT_EQ(all[2].domain, "www.douban.com");
}

TEST(CookieJarTest, ExpiredCookieRemovesAndIsNeverListed) {
  CookieJar jar;
  jar.Set(Cookie("h", "a", "1"));
  StoredCookie gone = Cookie("h", "a", "x");
  gone.expires = 1;  // long past
  jar.Set(gone);
  EXPECT_TRUE(jar.All().empty());
  jar.Set(gone);
  EXPECT_TRUE(jar.All().empty());
}

TEST(CookieJarTest, RemoveAndRemoveIfValue) {
  CookieJar jar;
  jar.Set(Cookie("h.com", "a", "1"));
  jar.Set(Cookie("h.com", "b", "2"));
  EXPECT_FALSE(jar.Remove("h.com", "/", "c"));
  EXPECT_TRUE(jar.Remove(".H.com", "/", "a"));
  EXPECT_FALSE(jar.RemoveIfValue("h.com", "/", "b", "changed"));
  EXPECT_TRUE(jar.Find("h.com", "/", "b").has_value());
  EXPECT_TRUE(jar.RemoveIfValue("h.com", "/", "b", "2"));
  EXPECT_TRUE(jar.All().empty());
}

TEST(CookieJarTest, EmptyPathMeansRootEverywhere) {
  CookieJar jar;
  jar.Set(Cookie("h.com", "a", "1", ""));
  jar.Set(Cookie("h.com", "b", "2", ""));
  jar.Set(Cookie("h.com", "c", "3", ""));
  EXPECT_EQ(jar.All().at(0).path, "/");
  EXPECT_TRUE(jar.Find("h.com", "", "a").has_value());
  EXPECT_TRUE(jar.Remove("h.com", "", "a"));
  EXPECT_TRUE(jar.RemoveIfValue("h.com", "", "b", "2"));
  EXPECT_TRUE(jar.Remove("h.com", "/", "c"));
  EXPECT_TRUE(jar.All().empty());
}

TEST(CookieJarTest, ConcurrentWritersAndReaders) {
  CookieJar jar;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&jar, t] {
      for (int i = 0; i < 500; ++i) {
        jar.Set(Cookie("h", "c" + std::to_string(i % 50), std::to_string(t)));
        static_cast<void>(jar.All());
        if (i % 7 == 0) jar.Remove("h", "/", "c" + std::to_string(i % 50));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_LE(jar.All().size(), 50u);
}

TEST(NetscapeLineTest, RoundTrips) {
  StoredCookie cookie = Cookie("douban.com", "dbcl2", "\"123:abc\"", "/");
  cookie.includeSubdomains = true;
  cookie.secure = true;
  cookie.httpOnly = true;
  cookie.expires = 4102444800;
  const std::string line = ToNetscapeLine(cookie);
  EXPECT_EQ(line, "#HttpOnly_.douban.com\tTRUE\t/\tTRUE\t4102444800\tdbcl2\t\"123:abc\"");
  EXPECT_EQ(FromNetscapeLine(line), cookie);
}

TEST(NetscapeLineTest, RejectsMalformedLines) {
  EXPECT_FALSE(FromNetscapeLine("# a comment").has_value());
  EXPECT_FALSE(FromNetscapeLine("h\tFALSE\t/\tFALSE\tsoon\tn\tv").has_value());
  EXPECT_FALSE(FromNetscapeLine("h\tFALSE\t/").has_value());
  EXPECT_FALSE(FromNetscapeLine("\tFALSE\t/\tFALSE\t0\tn\tv").has_value());
  const auto valueless = FromNetscapeLine("h\tFALSE\t/\tFALSE\t0\tn");
  ASSERT_TRUE(valueless.has_value());
  EXPECT_EQ(valueless->value, "");
}

}  // namespace
}  // namespace ak
