// Page fetches and the shared cookie jar: what a fetch writes back must not undo what others
// wrote meanwhile.
#include <gtest/gtest.h>

#include <algorithm>

#include "net/cookie_jar.h"
#include "net/http_fetch.h"
#include "net/service_config.h"
#include "tests/net/fetch_canned_server.h"

namespace ak::test {
namespace {

StoredCookie Cookie(std::string name, std::string path = "/") {
  StoredCookie cookie;
  cookie.domain = "127.0.0.1";
  cookie.name = std::move(name);
  cookie.value = "old";
  cookie.path = std::move(path);
  return cookie;
}

class FetchCookieJarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetServiceConfig({});
    SharedCookieJar().Clear();
  }
  void TearDown() override {
    SharedCookieJar().Clear();
    ReloadServiceConfig();
  }
};

TEST_F(FetchCookieJarTest, CookiesChangedDuringAFetchKeepTheirNewValue) {
  std::vector<StoredCookie> cookies = {Cookie("plain"), Cookie("deep", "/sub/dir/"),
                                       Cookie("other", "/elsewhere"), Cookie("empty")};
  cookies[1].expires = 4102444800;
  cookies[2].httpOnly = true;
  cookies[3].secure = true;
  cookies[3].value.clear();
  for (const StoredCookie& cookie : cookies) SharedCookieJar().Set(cookie);

  // While the fetch is under way the browser gives every cookie a new value.
  CannedServer server([&cookies](const std::string&, int, CannedServer::Connection& connection) {
    for (StoredCookie cookie : cookies) {
      cookie.value = "new";
      SharedCookieJar().Set(cookie);
    }
    connection.Send(CannedServer::Answer(200, "ok"));
  });
  EXPECT_EQ(HttpFetch(server.Url("/sub/dir/page")), "ok");

  const std::vector<StoredCookie> kept = SharedCookieJar().All();
  EXPECT_EQ(kept.size(), cookies.size());
  for (const StoredCookie& cookie : kept) {
    EXPECT_EQ(cookie.value, "new") << cookie.name << " at " << cookie.path;
  }
}

TEST_F(FetchCookieJarTest, ServerChangesAndDeletionsReachTheJar) {
  SharedCookieJar().Set(Cookie("keep"));
  SharedCookieJar().Set(Cookie("change"));
  SharedCookieJar().Set(Cookie("drop"));
  CannedServer server([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send(CannedServer::Answer(
        200, "ok",
        {"Set-Cookie: change=fresh; Path=/", "Set-Cookie: drop=; Path=/; Max-Age=0",
         "Set-Cookie: added=1; Path=/photos"}));
  });
  HttpFetch(server.Url("/"));
  const auto request = server.Requests().at(0);
  EXPECT_NE(request.find("\r\nCookie: "), std::string::npos) << request;

  EXPECT_EQ(SharedCookieJar().Find("127.0.0.1", "/", "keep")->value, "old");
  EXPECT_EQ(SharedCookieJar().Find("127.0.0.1", "/", "change")->value, "fresh");
  EXPECT_FALSE(SharedCookieJar().Find("127.0.0.1", "/", "drop").has_value());
  EXPECT_EQ(SharedCookieJar().Find("127.0.0.1", "/photos", "added")->value, "1");
  EXPECT_EQ(SharedCookieJar().All().size(), 3u);
}

}  // namespace
}  // namespace ak::test
