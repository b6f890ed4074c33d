// A sign-in carried in a cookies.txt (Netscape format): named with --cookies or found in the
// program's folder, its cookies for the service reach the double; their values never appear in
// what the program prints; a broken file is refused by line and left as it was.

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace ak::e2e {
namespace {

// Expires in 2100; one HTTP-only cookie, one plain, one of another site.
constexpr const char* kCookieFile =
    "# Netscape HTTP Cookie File\n"
    "#HttpOnly_.douban.com\tTRUE\t/\tFALSE\t4102444800\tdbcl2\t\"1000001:e2e\"\n"
    ".douban.com\tTRUE\t/\tFALSE\t4102444800\tck\tSecretValue42\n"
    ".example.com\tTRUE\t/\tFALSE\t4102444800\tother\tNotForDouban\n";

class CookiesTest : public EndToEndTest {
 protected:
  // Every request to the web host carried the file's service cookies and nothing else of it.
  void ExpectSignedInRequests() {
    int webRequests = 0;
    for (const test::LoggedRequest& request : douban().Requests()) {
      if (request.Header("Host") != "www.douban.com") continue;
      ++webRequests;
      const std::string cookie = request.Header("Cookie");
      EXPECT_NE(cookie.find("dbcl2=\"1000001:e2e\""), std::string::npos) << request.target;
      EXPECT_NE(cookie.find("ck=SecretValue42"), std::string::npos) << request.target;
      EXPECT_EQ(cookie.find("NotForDouban"), std::string::npos) << request.target;
    }
    EXPECT_GE(webRequests, 2);
  }

  static void ExpectNoCookieValue(const ProgramResult& result) {
    for (const char* value : {"1000001:e2e", "SecretValue42", "NotForDouban"}) {
      EXPECT_EQ((result.out + result.err).find(value), std::string::npos) << value << " printed\n"
                                                                          << Describe(result);
    }
  }
};

TEST_F(CookiesTest, NamedFileSignsTheListingIn) {
  StartDouble();
  const std::filesystem::path file = work_.path() / "exported cookies.txt";
  testing::WriteFileBytes(file, kCookieFile);
  const ProgramResult result = Run({"list", kPersonAddress, "--cookies", file.string()});
  ASSERT_EQ(result.exitStatus, 0) << Describe(result);
  ExpectSignedInRequests();
  ExpectNoCookieValue(result);
}

TEST_F(CookiesTest, ProgramFoldersFileSignsTheDownloadIn) {
  StartDouble();
  testing::WriteFileBytes(home() / "cookies.txt", kCookieFile);
  const ProgramResult result = Run({"download", kPersonAddress, "--albums", "4", "--to",
                                    saveFolder().string(), "--browse", "--medium"});
  ASSERT_EQ(result.exitStatus, 0) << Describe(result);
  ExpectSignedInRequests();
  ExpectNoCookieValue(result);
  EXPECT_EQ(FilesUnder(AlbumFolder(kSnowAlbum)).size(), 1u);
  // Reading it does not rewrite it.
  EXPECT_EQ(testing::ReadFileBytes(home() / "cookies.txt"), kCookieFile);
}

TEST_F(CookiesTest, BrokenFileIsRefusedByLineAndLeftAsItWas) {
  StartDouble();
  const std::string broken = std::string(kCookieFile) + "not a cookie line\n";
  // Named on the command line: the run stops before any request.
  const std::filesystem::path file = work_.path() / "cookies.txt";
  testing::WriteFileBytes(file, broken);
  const ProgramResult named = Run({"list", kPersonAddress, "--cookies", file.string()});
  EXPECT_EQ(named.exitStatus, 2) << Describe(named);
  EXPECT_NE(named.err.find("第 5 行"), std::string::npos) << Describe(named);
  ExpectNoCookieValue(named);
  EXPECT_TRUE(douban().Requests().empty());

  // The program's own file: the run goes on without a sign-in.
  testing::WriteFileBytes(home() / "cookies.txt", broken);
  const ProgramResult own = Run({"list", kPersonAddress});
  EXPECT_EQ(own.exitStatus, 0) << Describe(own);
  EXPECT_NE(own.err.find("第 5 行"), std::string::npos) << Describe(own);
  ExpectNoCookieValue(own);
  for (const test::LoggedRequest& request : douban().Requests()) {
    EXPECT_EQ(request.Header("Cookie").find("SecretValue42"), std::string::npos);
  }
  EXPECT_EQ(testing::ReadFileBytes(home() / "cookies.txt"), broken);
  EXPECT_EQ(testing::ReadFileBytes(file), broken);
}

}  // namespace
}  // namespace ak::e2e
