// Page and picture fetches against the service test double, checked through its request log.
#include <gtest/gtest.h>

#include <cstdlib>

#include "net/cookie_jar.h"
#include "net/http_fetch.h"
#include "net/plain_http_get.h"
#include "net/request_headers.h"
#include "net/service_config.h"
#include "net/winhttp_fetch.h"
#include "tests/net/fetch_double_env.h"

namespace ak::test {
namespace {

const std::string kAgent(DefaultAgent);
const std::string kForm = "application/x-www-form-urlencoded";

const std::string kPhotoId = "2155058361";

bool IsJpeg(const Bytes& body) { return body.size() > 2 && body.compare(0, 2, "\xFF\xD8") == 0; }

class FetchDoubleTest : public DoubleSuite {
 protected:
  static void SetUpTestSuite() { StartDouble(); }
  static void TearDownTestSuite() { StopDouble(); }
  void SetUp() override {
    DoubleSuite::SetUp();
    SharedCookieJar().Clear();
  }
};

TEST_F(FetchDoubleTest, PageFetchSendsExactlyTheDefaultBlock) {
  const std::string url = "http://www.douban.com/people/ahua/";
  const Bytes body = HttpFetch(url);
  EXPECT_NE(body.find("ahua"), std::string::npos);
  const LoggedRequest request = OnlyRequest();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/people/ahua/");
  EXPECT_EQ(request.version, "HTTP/1.1");
  const HeaderList expected = {
      {"Host", "www.douban.com"}, {"User-Agent", kAgent},       {"Accept", "*/*"},
      {"Referer", url},           {"Accept-Language", "zh-cn"}, {"Content-Type", kForm}};
  EXPECT_EQ(request.headers, expected);
}

TEST_F(FetchDoubleTest, AddressWithoutSchemeAndCapitalHostIsPlainHttp) {
  const std::string url = "WWW.Douban.COM/people/ahua/photos?start=16&X=Y";
  Text sent;
  Text extra = "Accept: text/html";
  EXPECT_FALSE(HttpFetch(url, 5, {}, nullptr, nullptr, &extra).empty());
  const LoggedRequest request = OnlyRequest();
  EXPECT_EQ(request.scheme, "http");
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/people/ahua/photos?start=16&X=Y");
  EXPECT_EQ(request.Header("Host"), "www.douban.com");
  EXPECT_EQ(request.Header("Accept"), "text/html");
  EXPECT_EQ(request.Header("Referer"), url);
  // The header block that went out is handed back.
  EXPECT_EQ(extra, "Accept: text/html\r\nReferer: " + url +
                       "\r\nAccept-Language: zh-cn\r\nContent-Type: " + kForm);
}

TEST_F(FetchDoubleTest, CallerAgentLineDecidesTheAgent) {
  Text extra = "User-Agent: Probe/1.0\r\nX-Test: yes";
  HttpFetch("http://www.douban.com/", 0, {}, nullptr, nullptr, &extra);
  const LoggedRequest request = OnlyRequest();
  const auto names = request.HeaderNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "User-Agent"), 1);
  EXPECT_EQ(request.Header("User-Agent"), "Probe/1.0");
  EXPECT_EQ(request.Header("X-Test"), "yes");
}

TEST_F(FetchDoubleTest, HttpsApiIsVerifiedAgainstTheConfiguredCa) {
  const std::string url = "HTTPS://api.douban.com/v2/album/1620000001/photos?count=1";
  const Bytes body = HttpFetch(url);
  EXPECT_NE(body.find("\"total\":"), std::string::npos) << body;
  const LoggedRequest request = OnlyRequest();
  EXPECT_EQ(request.scheme, "https");
  EXPECT_EQ(request.target, "/v2/album/1620000001/photos?count=1");

  // Without the double's certificate among the trusted ones the page fetch refuses the host.
  ServiceConfig untrusted = *CurrentServiceConfig();
  untrusted.caFile.clear();
  untrusted.trustedCertificates.clear();
  SetServiceConfig(untrusted);
  douban_->ClearRequests();
  EXPECT_TRUE(HttpFetch(url).empty());
  EXPECT_TRUE(Requests().empty());
  // The picture fetch accepts any certificate.
  int status = 0;
  EXPECT_FALSE(WinHttpFetch(url, 0, {}, nullptr, nullptr, nullptr, nullptr, &status).empty());
  EXPECT_EQ(status, 200);
}

TEST_F(FetchDoubleTest, PostSendsTextBodyAndHandsItBack) {
  Bytes postBytes;
  Text cookies;
  HttpFetch("http://www.douban.com/login", 1, "form_email=a%40b.c", &cookies, nullptr, nullptr,
            nullptr, true, &postBytes);
  EXPECT_EQ(postBytes, "form_email=a%40b.c");
  const LoggedRequest request = OnlyRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.Header("Content-Length"), "18");
  EXPECT_FALSE(request.HasHeader("Cookie"));
  EXPECT_FALSE(request.HasHeader("Expect"));
  // The response's cookies are merged into the caller's (blanks removed) and nothing reached
  // the shared jar.
  EXPECT_EQ(cookies, "dbcl2=\"1000001:a@b.c\"; ck=Xk9q");
  EXPECT_TRUE(SharedCookieJar().All().empty());
}

TEST_F(FetchDoubleTest, CookieArgumentIsTheOnlyCookieStore) {
  SharedCookieJar().Set(
      {.domain = "douban.com", .includeSubdomains = true, .name = "jar", .value = "1"});
  Text cookies = "mine=2; other=3";
  Text responseCookies = "stale";
  HttpFetch("http://www.douban.com/", 0, {}, &cookies, &responseCookies);
  const LoggedRequest request = OnlyRequest();
  EXPECT_EQ(request.Header("Cookie"), "mine=2; other=3");
  EXPECT_EQ(cookies, "mine=2; other=3");
  EXPECT_EQ(responseCookies, "");
}

TEST_F(FetchDoubleTest, SignInCookiesReachEveryLaterFetchThroughTheSharedJar) {
  // A sign-in without a cookie argument: the 302 sets the cookies, the redirect already
  // carries them.
  HttpFetch("http://www.douban.com/login", 1, "form_email=me");
  auto requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].method, "GET");
  EXPECT_EQ(requests[1].target, "/");
  EXPECT_NE(requests[1].Header("Cookie").find("dbcl2=\"1000001:me\""), std::string::npos);
  const auto kept = SharedCookieJar().Find("douban.com", "/", "dbcl2");
  ASSERT_TRUE(kept.has_value());
  EXPECT_TRUE(kept->httpOnly);
  EXPECT_TRUE(kept->includeSubdomains);

  douban_->ClearRequests();
  HttpFetch("http://www.douban.com/people/ahua/");
  PlainHttpGet("http://img3.doubanio.com/view/photo/photo/public/p" + kPhotoId + ".jpg");
  WinHttpFetch("http://www.douban.com/");
  requests = Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_NE(requests[0].Header("Cookie").find("dbcl2="), std::string::npos);
  // Picture hosts lie outside the cookie's domain.
  EXPECT_FALSE(requests[1].HasHeader("Cookie"));
  // The picture fetch never uses the shared jar.
  EXPECT_FALSE(requests[2].HasHeader("Cookie"));
}

TEST_F(FetchDoubleTest, CookiesSetFromOutsideAreSentAndRemovedOnesAreNot) {
  SharedCookieJar().Set(
      {.domain = ".douban.com", .includeSubdomains = true, .name = "bid", .value = "b1"});
  SharedCookieJar().Set({.domain = "img3.doubanio.com", .name = "pic", .value = "p1"});
  HttpFetch("http://www.douban.com/");
  PlainHttpGet("http://img3.doubanio.com/view/photo/photo/public/p" + kPhotoId + ".jpg");
  SharedCookieJar().Remove("douban.com", "/", "bid");
  HttpFetch("http://www.douban.com/");
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Header("Cookie"), "bid=b1");
  EXPECT_EQ(requests[1].Header("Cookie"), "pic=p1");
  EXPECT_FALSE(requests[2].HasHeader("Cookie"));
}

TEST_F(FetchDoubleTest, PictureFetchWithoutHeadersGetsTheDefaults) {
  const std::string url = "http://www.douban.com/";
  WinHttpFetch(url);
  const HeaderList expected = {{"Host", "www.douban.com"}, {"Accept", "*/*"},
                               {"Referer", url},           {"Accept-Language", "zh-cn"},
                               {"User-Agent", kAgent},     {"Content-Type", kForm}};
  EXPECT_EQ(OnlyRequest().headers, expected);
}

TEST_F(FetchDoubleTest, MissingLargePictureGives404AndItsPage) {
  int status = 0;
  const Bytes body =
      WinHttpFetch("http://img3.doubanio.com/view/photo/large/public/p2155058365.jpg", 0, {},
                   nullptr, nullptr, nullptr, nullptr, &status);
  EXPECT_EQ(status, 404);
  EXPECT_FALSE(body.empty());
  EXPECT_FALSE(IsJpeg(body));
}

TEST_F(FetchDoubleTest, PictureFetchMergesResponseCookiesIntoCallerString) {
  Text cookies = "old=1";
  Text responseCookies;
  Text responseHeaders;
  WinHttpFetch("http://www.douban.com/login", 1, "form_email=x", &cookies, &responseCookies,
               nullptr, &responseHeaders, nullptr, true);
  EXPECT_EQ(OnlyRequest().Header("Cookie"), "old=1");
  // The merge leaves the response cookies without blanks.
  EXPECT_EQ(responseCookies, "dbcl2=\"1000001:x\";ck=Xk9q");
  EXPECT_EQ(cookies, "dbcl2=\"1000001:x\"; ck=Xk9q; old=1");
  // Header lines only, as the request object gives them.
  EXPECT_FALSE(responseHeaders.starts_with("HTTP/"));
  EXPECT_NE(responseHeaders.find("Set-Cookie: dbcl2="), std::string::npos);
}

TEST_F(FetchDoubleTest, PlainGetIsHttp10WithAcceptOnly) {
  int status = 0;
  const Bytes body =
      PlainHttpGet("http://img1.doubanio.com/view/photo/photo/public/p2155058362.jpg", &status);
  EXPECT_EQ(status, 200);
  EXPECT_TRUE(IsJpeg(body));
  const LoggedRequest request = OnlyRequest();
  EXPECT_EQ(request.version, "HTTP/1.0");
  const HeaderList expected = {
      {"Host", "img1.doubanio.com"}, {"User-Agent", kAgent}, {"Accept", "*/*"}};
  EXPECT_EQ(request.headers, expected);
}

TEST_F(FetchDoubleTest, PlainGetReturnsErrorBodiesWithTheirStatus) {
  int status = 0;
  const Bytes body =
      PlainHttpGet("http://img3.doubanio.com/view/photo/large/public/p2155058365.jpg", &status);
  EXPECT_EQ(status, 404);
  EXPECT_FALSE(body.empty());
}

TEST_F(FetchDoubleTest, UnreachableHostGivesNothingAndStatusZero) {
  ServiceConfig config = *CurrentServiceConfig();
  config.connectTo = {"www.douban.com:80:127.0.0.1:1"};
  SetServiceConfig(config);
  int status = -5;
  Text headers = "untouched";
  EXPECT_TRUE(
      WinHttpFetch("http://www.douban.com/", 0, {}, nullptr, nullptr, nullptr, &headers, &status)
          .empty());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(headers, "");
  status = -5;
  EXPECT_TRUE(PlainHttpGet("http://www.douban.com/", &status).empty());
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(HttpFetch("http://www.douban.com/").empty());
}

class FetchRedirectTest : public DoubleSuite {
 protected:
  static void SetUpTestSuite() { StartDouble({"--redirect-https"}); }
  static void TearDownTestSuite() { StopDouble(); }
};

TEST_F(FetchRedirectTest, PageFetchFollowsHttpToHttps) {
  Text headers;
  const Bytes body =
      HttpFetch("http://www.douban.com/people/ahua/", 0, {}, nullptr, nullptr, nullptr, &headers);
  EXPECT_NE(body.find("ahua"), std::string::npos);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].scheme, "http");
  EXPECT_EQ(requests[1].scheme, "https");
  EXPECT_EQ(requests[1].target, "/people/ahua/");
  // The block of the last answer only.
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 200")) << headers;
}

TEST_F(FetchRedirectTest, NoRedirectStopsAtTheFirstAnswer) {
  Text headers;
  HttpFetch("http://www.douban.com/people/ahua/", 0, {}, nullptr, nullptr, nullptr, &headers, true);
  EXPECT_EQ(Requests().size(), 1u);
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 301")) << headers;
  int status = 0;
  WinHttpFetch("http://www.douban.com/people/ahua/", 0, {}, nullptr, nullptr, nullptr, nullptr,
               &status, true);
  EXPECT_EQ(status, 301);
}

}  // namespace
}  // namespace ak::test
