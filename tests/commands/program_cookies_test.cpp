#include "commands/program_cookies.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/codec.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

class ProgramCookiesTest : public ::testing::Test {
 protected:
  ProgramCookiesTest() {
    std::filesystem::create_directory(folder_.path() / "程序");
    dir_ = Utf8ToGbk((folder_.path() / "程序").string());
    file_ = folder_.path() / "程序" / "cookies.txt";
  }
  static StoredCookie Cookie(std::string domain, std::string name, std::string value) {
    StoredCookie cookie;
    cookie.domain = std::move(domain);
    cookie.name = std::move(name);
    cookie.value = std::move(value);
    return cookie;
  }
  TempFolder folder_;
  Text dir_;
  std::filesystem::path file_;
  Controls controls_;
  CookieJar jar_;
};

TEST_F(ProgramCookiesTest, SignInSurvivesARestart) {
  ProgramCookies first(jar_, dir_);
  first.Load(controls_);
  EXPECT_TRUE(controls_.Log().empty());
  // The browser's cookies reach the jar while the window runs.
  jar_.Set(Cookie("www.douban.com", "dbcl2", "signed-in"));
  jar_.Set(Cookie("accounts.example.org", "sid", "elsewhere"));
  ASSERT_TRUE(first.Save());
  struct stat st {};
  ASSERT_EQ(::stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  CookieJar restarted;
  ProgramCookies second(restarted, dir_);
  second.Load(controls_);
  EXPECT_EQ(restarted.All(),
            (std::vector<StoredCookie>{Cookie("www.douban.com", "dbcl2", "signed-in")}));
}

TEST_F(ProgramCookiesTest, RefusedFileIsReportedAndNeverOverwritten) {
  const std::string bad = "douban.com\tTRUE\t/\tFALSE\t0\tdbcl2\tVALUE\n\nbroken\tline\n";
  WriteFileBytes(file_, bad);
  ProgramCookies cookies(jar_, dir_);
  cookies.Load(controls_);
  const std::string log = GbkToUtf8(controls_.Log());
  EXPECT_NE(log.find("第 3 行格式不符"), std::string::npos) << log;
  EXPECT_EQ(log.find("VALUE"), std::string::npos);
  EXPECT_TRUE(jar_.All().empty());
  jar_.Set(Cookie("douban.com", "bid", "new"));
  EXPECT_FALSE(cookies.Save());
  EXPECT_EQ(ReadFileBytes(file_), bad);
}

}  // namespace
}  // namespace ak
