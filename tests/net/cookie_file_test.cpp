#include "net/cookie_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/codec.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

constexpr std::string_view kService = "douban.com";
constexpr std::string_view kSecret = "S3CRETVALUE";

StoredCookie Cookie(std::string domain, std::string name, std::string value) {
  StoredCookie cookie;
  cookie.domain = std::move(domain);
  cookie.name = std::move(name);
  cookie.value = std::move(value);
  return cookie;
}

TEST(CookieFileTest, ServiceDomainMatching) {
  struct Row {
    std::string_view domain;
    bool service;
  } rows[] = {
      {"douban.com", true},     {".douban.com", true},    {"www.douban.com", true},
      {"API.Douban.COM", true}, {"notdouban.com", false}, {"douban.com.evil", false},
      {"example.com", false},   {"com", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsServiceCookie(row.domain, kService), row.service) << row.domain;
  }
  EXPECT_EQ(ServiceCookieDomain(), "douban.com");
}

TEST(CookieFileTest, ReadsWhatCurlWrites) {
  const std::string text =
      "# Netscape HTTP Cookie File\r\n"
      "# https://curl.se/docs/http-cookies.html\n"
      "\n"
      "   \n"
      ".douban.com\tTRUE\t/\tFALSE\t0\tbid\tabc\n"
      "#HttpOnly_www.douban.com\tFALSE\t/people\ttrue\t4102444800\tdbcl2\t\"1:x\"\r\n"
      "douban.com\tFALSE\t\tFALSE\t0\tempty\n"
      "example.com\tFALSE\t/\tFALSE\t0\tother\tv\n"
      "douban.com\tFALSE\t/\tFALSE\t1000\told\tgone\n";
  const CookieFileContent content = ParseCookieFile(text, kService);
  ASSERT_EQ(content.status, CookieFileStatus::kLoaded);
  EXPECT_EQ(content.otherSites, 1);
  ASSERT_EQ(content.cookies.size(), 3u);  // the expired one is left out

  StoredCookie bid = Cookie("douban.com", "bid", "abc");
  bid.includeSubdomains = true;
  EXPECT_EQ(content.cookies[0], bid);

  StoredCookie session = Cookie("www.douban.com", "dbcl2", "\"1:x\"");
  session.httpOnly = true;
  session.secure = true;
  session.path = "/people";
  session.expires = 4102444800;
  EXPECT_EQ(content.cookies[1], session);

  EXPECT_EQ(content.cookies[2], Cookie("douban.com", "empty", ""));
}

TEST(CookieFileTest, MalformedLineIsNamedAndNothingIsTaken) {
  const std::string good = ".douban.com\tTRUE\t/\tFALSE\t0\tbid\t" + std::string(kSecret) + "\n";
  struct Row {
    std::string name;
    std::string text;
    int line;
  } rows[] = {
      {"too few fields", good + "douban.com\tTRUE\t/\tFALSE\t0\n", 2},
      {"too many fields", "# c\n" + good + "douban.com\tTRUE\t/\tFALSE\t0\ta\tb\tc\n", 3},
      {"spaces for tabs", "douban.com TRUE / FALSE 0 a " + std::string(kSecret) + "\n", 1},
      {"bad subdomain flag", "\n\n" + good + "douban.com\tyes\t/\tFALSE\t0\ta\tb\n", 4},
      {"bad secure flag", "douban.com\tTRUE\t/\t1\t0\ta\tb\n", 1},
      {"expiry not a number", good + "douban.com\tTRUE\t/\tFALSE\tsoon\ta\tb\n", 2},
      {"expiry with trailing junk", good + "douban.com\tTRUE\t/\tFALSE\t12x\ta\tb\n", 2},
      {"negative expiry", good + "douban.com\tTRUE\t/\tFALSE\t-5\ta\tb\n", 2},
      {"empty domain", good + "\tTRUE\t/\tFALSE\t0\ta\tb\n", 2},
      {"empty name", good + "douban.com\tTRUE\t/\tFALSE\t0\t\t" + std::string(kSecret) + "\n", 2},
      {"path without slash", good + "douban.com\tTRUE\tpeople\tFALSE\t0\ta\tb\n", 2},
      {"control byte in value",
       good + "douban.com\tTRUE\t/\tFALSE\t0\ta\tb\x01"
              "c\n",
       2},
      {"binary junk",
       std::string("\x7f"
                   "ELF\x01\x02\x00\x00",
                   8),
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const CookieFileContent content = ParseCookieFile(row.text, kService);
    EXPECT_EQ(content.status, CookieFileStatus::kMalformed);
    EXPECT_EQ(content.line, row.line);
    EXPECT_TRUE(content.cookies.empty());
    const Text report = CookieFileReport(content, "/home/u/cookies.txt");
    EXPECT_NE(report.find(AK_GBK(" 第 ") + std::to_string(row.line) + AK_GBK(" 行")),
              std::string::npos)
        << GbkToUtf8(report);
    EXPECT_EQ(report.find(kSecret), std::string::npos);
  }
}

TEST(CookieFileTest, WrittenFileReadsBackTheServiceCookiesOnly) {
  CookieJar jar;
  StoredCookie signIn = Cookie("www.douban.com", "dbcl2", "\"123:abc\"");
  signIn.httpOnly = true;
  signIn.secure = true;
  signIn.expires = 4102444800;
  StoredCookie bid = Cookie("douban.com", "bid", "x1");
  bid.includeSubdomains = true;
  StoredCookie api = Cookie("api.douban.com", "ck", "z");
  api.path = "/v2";
  jar.Set(signIn);
  jar.Set(Cookie("example.com", "tracker", "no"));
  jar.Set(bid);
  jar.Set(api);

  TempFolder folder;
  const std::filesystem::path file = folder.path() / "cookies.txt";
  ASSERT_TRUE(SaveCookieFile(file, jar, kService));
  const std::string text = ReadFileBytes(file);
  EXPECT_TRUE(text.starts_with("# Netscape HTTP Cookie File\n"));
  EXPECT_EQ(text.find("example.com"), std::string::npos);

  CookieJar loaded;
  const CookieFileContent content = LoadCookieFile(file, loaded, kService);
  ASSERT_EQ(content.status, CookieFileStatus::kLoaded);
  EXPECT_EQ(loaded.All(), (std::vector<StoredCookie>{signIn, bid, api}));
  EXPECT_EQ(GbkToUtf8(CookieFileReport(content, "c.txt")), "已从 c.txt 载入 3 个 cookie");
}

TEST(CookieFileTest, SavedFileIsOwnerOnlyEvenOverAnOpenOne) {
  TempFolder folder;
  const std::filesystem::path file = folder.path() / "cookies.txt";
  WriteFileBytes(file, "# old\n");
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  CookieJar jar;
  jar.Set(Cookie("douban.com", "bid", "1"));
  ASSERT_TRUE(SaveCookieFile(file, jar, kService));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(CookieFileTest, FailedLoadLeavesJarAndFileAsTheyWere) {
  TempFolder folder;
  const std::filesystem::path file = folder.path() / "cookies.txt";
  const std::string bad = "douban.com\tTRUE\t/\tFALSE\t0\tgood\tv\nnot a cookie line\n";
  WriteFileBytes(file, bad);
  CookieJar jar;
  jar.Set(Cookie("douban.com", "kept", "1"));
  const CookieFileContent content = LoadCookieFile(file, jar, kService);
  EXPECT_EQ(content.status, CookieFileStatus::kMalformed);
  EXPECT_EQ(content.line, 2);
  EXPECT_EQ(jar.All(), (std::vector<StoredCookie>{Cookie("douban.com", "kept", "1")}));
  EXPECT_EQ(ReadFileBytes(file), bad);
}

TEST(CookieFileTest, MissingAndUnreadableFiles) {
  TempFolder folder;
  CookieJar jar;
  const CookieFileContent missing = LoadCookieFile(folder.path() / "none.txt", jar, kService);
  EXPECT_EQ(missing.status, CookieFileStatus::kMissing);
  EXPECT_TRUE(CookieFileReport(missing, "none.txt").empty());
  // A folder where the file should be.
  const CookieFileContent folderInstead = LoadCookieFile(folder.path(), jar, kService);
  EXPECT_EQ(folderInstead.status, CookieFileStatus::kUnreadable);
  EXPECT_FALSE(CookieFileReport(folderInstead, "x").empty());
  EXPECT_TRUE(jar.All().empty());
  // Saving into a folder that does not exist fails without leaving anything.
  EXPECT_FALSE(SaveCookieFile(folder.path() / "gone" / "cookies.txt", jar, kService));
}

}  // namespace
}  // namespace ak
