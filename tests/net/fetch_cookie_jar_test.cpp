// Page fetches and the shared cookie jar: what a fetch writes back must not undo what others
// wrote meanwhile.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/text_ops.h"
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

TEST_F(FetchCookieJarTest, CookiesBelongToTheAddressHostWhateverTheHeadersSay) {
  CannedServer server([](const std::string& request, int number, CannedServer::Connection& c) {
    const bool setsOne = request.starts_with("GET /one ") || request.starts_with("GET /two ");
    c.Send(CannedServer::Answer(
        200, "ok", {setsOne ? "Set-Cookie: s" + std::to_string(number) + "=x; Path=/" : "X: y"}));
  });
  const std::string port = std::to_string(server.port());
  ServiceConfig config;
  for (const char* host : {"a.test", "b.test", "c.test"})
    config.connectTo.push_back(std::string(host) + ":80:127.0.0.1:" + port);
  SetServiceConfig(config);
  SharedCookieJar().Set({.domain = "a.test", .name = "a", .value = "1"});
  SharedCookieJar().Set({.domain = "b.test", .name = "b", .value = "1"});

  // A Host line naming another host: the fetch still names, sends and keeps by its address.
  Text extra = "host: b.test\r\nX-Mine: 1";
  EXPECT_EQ(HttpFetch("http://a.test/one", 0, {}, nullptr, nullptr, &extra), "ok");
  EXPECT_EQ(extra.find("b.test"), Text::npos) << extra;
  // Later fetches on the same thread, without one.
  EXPECT_EQ(HttpFetch("http://a.test/two"), "ok");
  EXPECT_EQ(HttpFetch("http://c.test/three"), "ok");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(requests[0].starts_with("GET /one HTTP/1.1\r\nHost: a.test\r\n")) << requests[0];
  EXPECT_EQ(requests[0].find("b.test"), std::string::npos) << requests[0];
  EXPECT_NE(requests[0].find("\r\nX-Mine: 1\r\n"), std::string::npos) << requests[0];
  // libcurl orders the cookies of one path by itself: compare them as a set.
  auto cookiesOf = [](const std::string& request) {
    const auto at = request.find("\r\nCookie: ");
    if (at == std::string::npos) return std::vector<std::string>{};
    const auto start = at + 10;
    std::vector<std::string> pieces;
    for (Text& piece : Split(request.substr(start, request.find("\r\n", start) - start), "; "))
      pieces.push_back(piece);
    std::sort(pieces.begin(), pieces.end());
    return pieces;
  };
  EXPECT_EQ(cookiesOf(requests[0]), std::vector<std::string>{"a=1"}) << requests[0];
  EXPECT_EQ(cookiesOf(requests[1]), (std::vector<std::string>{"a=1", "s0=x"})) << requests[1];
  EXPECT_EQ(requests[2].find("Cookie:"), std::string::npos) << requests[2];

  EXPECT_TRUE(SharedCookieJar().Find("a.test", "/", "s0").has_value());
  EXPECT_TRUE(SharedCookieJar().Find("a.test", "/", "s1").has_value());
  EXPECT_EQ(SharedCookieJar().All().size(), 4u);
}

}  // namespace
}  // namespace ak::test
