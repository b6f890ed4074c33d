// Fetches against a canned loopback server: the exact bytes sent, and every fault a server can
// throw at them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "net/http_fetch.h"
#include "net/plain_http_get.h"
#include "net/request_headers.h"
#include "net/service_config.h"
#include "net/winhttp_fetch.h"
#include "tests/net/fetch_canned_server.h"
#include "tests/net/stop_soon.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

const std::string kAgent(DefaultAgent);
const std::string kForm = "Content-Type: application/x-www-form-urlencoded\r\n";

const std::string kPlain = [] {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "decoded picture bytes ";
  return text;
}();
const std::string kGzip(
    "\x1F\x8B\x08\x00\x00\x00\x00\x00\x02\x03\x4B\x49\x4D\xCE\x4F\x49\x4D\x51\x28\xC8\x4C\x2E\x29"
    "\x2D\x4A\x55\x48\xAA\x2C\x49\x2D\x56\x48\x19\x15\x1D\x15\x1D\x15\xA5\x81\x28\x00\xD6\x6D\x69"
    "\x18\x70\x03\x00\x00",
    51);
const std::string kDeflate(
    "\x78\x9C\x4B\x49\x4D\xCE\x4F\x49\x4D\x51\x28\xC8\x4C\x2E\x29\x2D\x4A\x55\x48\xAA\x2C\x49\x2D"
    "\x56\x48\x19\x15\x1D\x15\x1D\x15\xA5\x81\x28\x00\x33\xAD\x4B\xC8",
    39);

CannedServer::Handler Always(std::string answer) {
  return [answer](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send(answer);
  };
}

CannedServer::Handler Silent() {
  return
      [](const std::string&, int, CannedServer::Connection& connection) { connection.Wait(30s); };
}

class FetchFaultsTest : public ::testing::Test {
 protected:
  // These fetches go to 127.0.0.1 directly; no mapping, no extra CA.
  void SetUp() override { SetServiceConfig({}); }
  void TearDown() override { ReloadServiceConfig(); }
};

TEST_F(FetchFaultsTest, PageFetchRequestBytes) {
  CannedServer server(Always(CannedServer::Answer(200, "ok")));
  const std::string url = server.Url("/a/B?x=1");
  EXPECT_EQ(HttpFetch(url), "ok");
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0],
            "GET /a/B?x=1 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                "\r\nUser-Agent: " + kAgent + "\r\nAccept: */*\r\nReferer: " + url +
                "\r\nAccept-Language: zh-cn\r\n" + kForm + "\r\n");
}

TEST_F(FetchFaultsTest, PostAndHeadRequestBytes) {
  CannedServer server(Always(CannedServer::Answer(200, "")));
  const std::string url = server.Url("/post");
  Text extra = "X-Empty:\r\nAccept: a";
  Bytes postBytes = "b\0y"s;
  HttpFetch(url, 1, "ignored", nullptr, nullptr, &extra, nullptr, false, &postBytes);
  EXPECT_EQ(postBytes, "b\0y"s);
  HttpFetch(url, 2, "abc");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0],
            "POST /post HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                "\r\nUser-Agent: " + kAgent + "\r\nX-Empty:\r\nAccept: a\r\nReferer: " + url +
                "\r\nAccept-Language: zh-cn\r\n" + kForm + "Content-Length: 3\r\n\r\nb\0y"s);
  EXPECT_TRUE(requests[1].starts_with("HEAD /post HTTP/1.1\r\n"));
  EXPECT_TRUE(requests[1].ends_with("\r\n\r\n"));
}

TEST_F(FetchFaultsTest, OnlyAPostSendsABodyAndOnlyWhatIsSentIsReported) {
  // The HEAD's answer announces a body it does not carry, as HEAD answers do: the fetch must
  // not wait for it.
  CannedServer server([](const std::string& request, int, CannedServer::Connection& connection) {
    connection.Send(request.starts_with("HEAD ") ? "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"
                                                 : CannedServer::Answer(200, "got"));
  });
  const std::string url = server.Url("/h");
  const std::string head = "Host: 127.0.0.1:" + std::to_string(server.port()) +
                           "\r\nUser-Agent: " + kAgent + "\r\nAccept: */*\r\nReferer: " + url +
                           "\r\nAccept-Language: zh-cn\r\n" + kForm;
  const struct {
    int method;
    const char* text;
    Bytes bytes;
    std::string expectedRequest;
    Bytes expectedSent;
    Bytes expectedBody;
  } cases[] = {
      {1, "abc", "", "POST /h HTTP/1.1\r\n" + head + "Content-Length: 3\r\n\r\nabc", "abc", "got"},
      {1, "ignored", "b\0y"s, "POST /h HTTP/1.1\r\n" + head + "Content-Length: 3\r\n\r\nb\0y"s,
       "b\0y"s, "got"},
      // libcurl sends no body with a HEAD: none is reported as sent.
      {2, "abc", "", "HEAD /h HTTP/1.1\r\n" + head + "\r\n", "", ""},
      {2, "ignored", "b\0y"s, "HEAD /h HTTP/1.1\r\n" + head + "\r\n", "", ""},
      {0, "text", "bytes", "GET /h HTTP/1.1\r\n" + head + "\r\n", "", "got"},
  };
  for (const auto& c : cases) {
    Bytes postBytes = c.bytes;
    EXPECT_EQ(
        HttpFetch(url, c.method, c.text, nullptr, nullptr, nullptr, nullptr, false, &postBytes),
        c.expectedBody)
        << c.expectedRequest;
    EXPECT_EQ(postBytes, c.expectedSent) << c.expectedRequest;
    EXPECT_EQ(server.Requests().back(), c.expectedRequest);
  }
  EXPECT_EQ(server.Requests().size(), std::size(cases));
}

TEST_F(FetchFaultsTest, PictureFetchAndPlainGetRequestBytes) {
  CannedServer server(Always(CannedServer::Answer(200, "x")));
  const std::string url = server.Url("/p/1.jpg");
  const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
  int status = 0;
  Text cookies = "c=1";
  WinHttpFetch(url, 0, {}, &cookies, nullptr, nullptr, nullptr, &status);
  EXPECT_EQ(status, 200);
  PlainHttpGet(url, &status);
  EXPECT_EQ(status, 200);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0],
            "GET /p/1.jpg HTTP/1.1\r\n" + host + "Cookie: c=1\r\nAccept: */*\r\nReferer: " + url +
                "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kAgent + "\r\n" + kForm + "\r\n");
  EXPECT_EQ(requests[1], "GET /p/1.jpg HTTP/1.0\r\n" + host + "User-Agent: " + kAgent +
                             "\r\nAccept: */*\r\n\r\n");
}

TEST_F(FetchFaultsTest, PathsGoOutAsWritten) {
  // Dot segments and doubled slashes are the address's own; no fetch tidies them away.
  for (const std::string path : {"/a/../b", "/./c/", "//d//e", "/f/..?q=/../g"}) {
    CannedServer server(Always(CannedServer::Answer(200, "x")));
    const std::string url = server.Url(path);
    HttpFetch(url);
    WinHttpFetch(url);
    PlainHttpGet(url);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u) << path;
    EXPECT_TRUE(requests[0].starts_with("GET " + path + " HTTP/1.1\r\n")) << requests[0];
    EXPECT_TRUE(requests[1].starts_with("GET " + path + " HTTP/1.1\r\n")) << requests[1];
    EXPECT_TRUE(requests[2].starts_with("GET " + path + " HTTP/1.0\r\n")) << requests[2];
  }
  // A relative redirect is still resolved against the address it came from.
  CannedServer server([](const std::string& request, int, CannedServer::Connection& connection) {
    connection.Send(request.starts_with("GET /a/b/c ")
                        ? "HTTP/1.1 302 Found\r\nLocation: ../x\r\nContent-Length: 0\r\n\r\n"
                        : CannedServer::Answer(200, "x"));
  });
  EXPECT_EQ(HttpFetch(server.Url("/a/b/c")), "x");
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_TRUE(server.Requests()[1].starts_with("GET /a/x HTTP/1.1\r\n")) << server.Requests()[1];
}

TEST_F(FetchFaultsTest, AnAddressInTheQueryStaysInThePath) {
  // The scheme is the one that starts the address; another named in the query must neither
  // swallow the path nor be taken for the start of the host, even when it names the same host.
  CannedServer server(Always(CannedServer::Answer(200, "x")));
  const std::string port = std::to_string(server.port());
  ServiceConfig config;
  config.connectTo = {"h.test:80:127.0.0.1:" + port, "a.test:80:127.0.0.1:" + port};
  SetServiceConfig(config);
  EXPECT_EQ(HttpFetch("http://h.test/x?u=https://o.test/y"), "x");
  EXPECT_EQ(HttpFetch("http://a.test/p?r=https://a.test/q"), "x");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_TRUE(requests[0].starts_with("GET /x?u=https://o.test/y HTTP/1.1\r\nHost: h.test\r\n"))
      << requests[0];
  EXPECT_TRUE(requests[1].starts_with("GET /p?r=https://a.test/q HTTP/1.1\r\nHost: a.test\r\n"))
      << requests[1];
}

TEST_F(FetchFaultsTest, EncodedBodiesAreDecodedWithoutChangingTheRequest) {
  CannedServer server([](const std::string& request, int, CannedServer::Connection& connection) {
    const bool deflate = request.starts_with("GET /deflate");
    connection.Send(
        CannedServer::Answer(200, deflate ? kDeflate : kGzip,
                             {deflate ? "Content-Encoding: deflate" : "Content-Encoding: gzip"}));
  });
  EXPECT_EQ(HttpFetch(server.Url("/gzip")), kPlain);
  Text block = "Accept-Encoding: gzip, deflate\r\nDNT: 1\r\n";
  int status = 0;
  EXPECT_EQ(WinHttpFetch(server.Url("/deflate"), 0, {}, nullptr, nullptr, &block, nullptr, &status),
            kPlain);
  EXPECT_EQ(status, 200);
  EXPECT_EQ(PlainHttpGet(server.Url("/gzip")), kPlain);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].find("Accept-Encoding"), std::string::npos);
  EXPECT_NE(requests[1].find("\r\nAccept-Encoding: gzip, deflate\r\nDNT: 1\r\n"),
            std::string::npos);
  EXPECT_EQ(requests[1].find("Accept-Encoding", requests[1].find("DNT")), std::string::npos);
  EXPECT_EQ(requests[2].find("Accept-Encoding"), std::string::npos);
}

TEST_F(FetchFaultsTest, ErrorStatusesReturnTheirBodies) {
  CannedServer server(Always(CannedServer::Answer(500, "server error page")));
  int status = 0;
  EXPECT_EQ(WinHttpFetch(server.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status),
            "server error page");
  EXPECT_EQ(status, 500);
  EXPECT_EQ(HttpFetch(server.Url("/")), "server error page");
  EXPECT_EQ(PlainHttpGet(server.Url("/"), &status), "server error page");
  EXPECT_EQ(status, 500);
}

TEST_F(FetchFaultsTest, BodyCutOffMidway) {
  CannedServer server([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(500, 'x'));
    connection.Close();
  });
  // The page fetch returns what arrived.
  EXPECT_EQ(HttpFetch(server.Url("/")), std::string(500, 'x'));
  // A picture fetch must not pass half a picture off as a good one.
  int status = -1;
  EXPECT_TRUE(
      WinHttpFetch(server.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status).empty());
  EXPECT_EQ(status, 0);
  status = -1;
  EXPECT_TRUE(PlainHttpGet(server.Url("/"), &status).empty());
  EXPECT_EQ(status, 0);
}

TEST_F(FetchFaultsTest, AnswersWithoutHeaders) {
  CannedServer bare([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("no status line at all");
    connection.Close();
  });
  int status = -1;
  EXPECT_TRUE(HttpFetch(bare.Url("/")).empty());
  EXPECT_TRUE(
      WinHttpFetch(bare.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status).empty());
  EXPECT_EQ(status, 0);

  CannedServer statusOnly([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\n\r\nbody until close");
    connection.Close();
  });
  Text headers;
  EXPECT_EQ(HttpFetch(statusOnly.Url("/"), 0, {}, nullptr, nullptr, nullptr, &headers),
            "body until close");
  EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\n\r\n");
  EXPECT_EQ(WinHttpFetch(statusOnly.Url("/"), 0, {}, nullptr, nullptr, nullptr, &headers, &status),
            "body until close");
  EXPECT_EQ(status, 200);
}

TEST_F(FetchFaultsTest, LongHeaderBlockKeepsItsCookies) {
  const std::string filler = "X-Filler: " + std::string(6000, 'f');
  CannedServer server(
      Always(CannedServer::Answer(200, "ok", {filler, "set-cookie: late=1; path=/"})));
  Text headers;
  Text responseCookies;
  Text cookies;
  EXPECT_EQ(HttpFetch(server.Url("/"), 0, {}, &cookies, &responseCookies, nullptr, &headers), "ok");
  EXPECT_GT(headers.size(), 6000u);
  EXPECT_NE(headers.find("\r\nSet-Cookie: late=1; path=/\r\n"), std::string::npos);
  EXPECT_EQ(responseCookies, "late=1");
  EXPECT_EQ(cookies, "late=1");
}

TEST_F(FetchFaultsTest, HugeBodyArrivesWhole) {
  constexpr size_t kSize = 100u << 20;
  CannedServer server([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kSize) + "\r\n\r\n");
    const std::string chunk(1 << 20, 'z');
    for (size_t sent = 0; sent < kSize; sent += chunk.size()) {
      if (!connection.Send(chunk)) return;
    }
  });
  const Bytes body = HttpFetch(server.Url("/big"));
  EXPECT_EQ(body.size(), kSize);
  EXPECT_EQ(body.find_first_not_of('z'), std::string::npos);
}

TEST_F(FetchFaultsTest, EndlessAnswersStopAtTheirLimits) {
  // A body far beyond the limit: the fetch keeps no more than the limit and breaks the exchange
  // off (the limit counts decoded bytes, so a small compressed stream cannot get round it).
  const std::string endless(1 << 16, 'e');
  CannedServer body([&endless](const std::string&, int, CannedServer::Connection& connection) {
    if (!connection.Send("HTTP/1.1 200 OK\r\n\r\n")) return;
    for (int i = 0; i < 2000 && connection.Send(endless); ++i) {
    }
    connection.Close();
  });
  HttpFetchRequest request;
  request.url = body.Url("/");
  request.maxBodyBytes = 1 << 20;
  HttpFetchResult result = PerformHttpFetch(request);
  EXPECT_EQ(result.outcome, TransferOutcome::kFailed);
  EXPECT_EQ(result.body.size(), request.maxBodyBytes);

  // Header lines without end: libcurl refuses a block that large.
  CannedServer headers([](const std::string&, int, CannedServer::Connection& connection) {
    if (!connection.Send("HTTP/1.1 200 OK\r\n")) return;
    const std::string line = "X-More: " + std::string(1000, 'h') + "\r\n";
    for (int i = 0; i < 20000 && connection.Send(line); ++i) {
    }
    connection.Close();
  });
  Text responseHeaders;
  EXPECT_TRUE(
      HttpFetch(headers.Url("/"), 0, {}, nullptr, nullptr, nullptr, &responseHeaders).empty());
  EXPECT_LT(responseHeaders.size(), 2u << 20);
}

TEST_F(FetchFaultsTest, RedirectLoopEnds) {
  CannedServer server(Always("HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n"));
  Text headers;
  EXPECT_TRUE(HttpFetch(server.Url("/loop"), 0, {}, nullptr, nullptr, nullptr, &headers).empty());
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 302")) << headers;
  const size_t afterPageFetch = server.Requests().size();
  EXPECT_EQ(afterPageFetch, 11u);
  int status = -1;
  EXPECT_TRUE(WinHttpFetch(server.Url("/loop"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status)
                  .empty());
  EXPECT_EQ(status, 0);
}

TEST_F(FetchFaultsTest, SilentServerEndsWithTheTimeout) {
  CannedServer server(Silent());
  int status = -1;
  EXPECT_TRUE(WinHttpFetch(server.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status,
                           false, {}, {}, 1)
                  .empty());
  EXPECT_EQ(status, 0);

  HttpFetchRequest request;
  request.url = server.Url("/");
  request.idleTimeout = 300ms;
  const HttpFetchResult result = PerformHttpFetch(request);
  EXPECT_TRUE(result.setUp);
  EXPECT_EQ(result.outcome, TransferOutcome::kTimedOut);
  EXPECT_TRUE(result.body.empty());
}

TEST_F(FetchFaultsTest, StalledBodyReturnsWhatArrived) {
  CannedServer server([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part");
    connection.Wait(30s);
  });
  HttpFetchRequest request;
  request.url = server.Url("/");
  request.idleTimeout = 300ms;
  const HttpFetchResult result = PerformHttpFetch(request);
  EXPECT_EQ(result.outcome, TransferOutcome::kTimedOut);
  EXPECT_EQ(result.body, "first part");
}

TEST_F(FetchFaultsTest, StopTokenAbortsEveryFetchKind) {
  CannedServer server([](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial");
    connection.Wait(30s);
  });
  {
    std::stop_source source;
    auto stopper = StopSoon(source);
    HttpFetchRequest request;
    request.url = server.Url("/");
    request.stop = source.get_token();
    const HttpFetchResult result = PerformHttpFetch(request);
    EXPECT_EQ(result.outcome, TransferOutcome::kStopped);
    EXPECT_TRUE(result.body.empty());
  }
  {
    std::stop_source source;
    auto stopper = StopSoon(source);
    int status = -1;
    EXPECT_TRUE(WinHttpFetch(server.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status,
                             false, {}, {}, -1, {}, {}, 1, source.get_token())
                    .empty());
    EXPECT_EQ(status, 0);
  }
  {
    std::stop_source source;
    auto stopper = StopSoon(source);
    int status = -1;
    EXPECT_TRUE(PlainHttpGet(server.Url("/"), &status, source.get_token()).empty());
    EXPECT_EQ(status, 0);
  }
  // A token already set sends nothing.
  std::stop_source stopped;
  stopped.request_stop();
  const size_t before = server.Requests().size();
  EXPECT_TRUE(PlainHttpGet(server.Url("/"), nullptr, stopped.get_token()).empty());
  EXPECT_EQ(server.Requests().size(), before);
}

TEST_F(FetchFaultsTest, AddressesThatCannotBeSetUpLeaveOutputsAlone) {
  for (const char* url : {"http://", "http://host:70000/", "http:///path"}) {
    Text cookies = "a=1 ";
    Text extra = "X: y";
    Text headers = "before";
    EXPECT_TRUE(HttpFetch(url, 0, {}, &cookies, nullptr, &extra, &headers).empty()) << url;
    EXPECT_EQ(cookies, "a=1 ") << url;
    EXPECT_EQ(extra, "X: y") << url;
    EXPECT_EQ(headers, "before") << url;
  }
}

TEST_F(FetchFaultsTest, ConnectionsAreReusedBetweenFetches) {
  std::vector<int> connections;
  CannedServer server(Always(CannedServer::Answer(200, "k")));
  for (int i = 0; i < 5; ++i) {
    int status = 0;
    WinHttpFetch(server.Url("/r"), 0, {}, nullptr, nullptr, nullptr, nullptr, &status);
    EXPECT_EQ(status, 200);
  }
  EXPECT_EQ(server.Requests().size(), 5u);
  EXPECT_EQ(server.Connections(), 1);
}

TEST_F(FetchFaultsTest, APostIsNeverSentTwice) {
  // The server keeps the connection of the first answer, then drops it without a word when the
  // next request arrives on it, as a server does whose idle limit ends just then. libcurl
  // resends a request that died so on a reused connection: a POST must never be one of them.
  std::atomic<bool> dropped{false};
  CannedServer server([&](const std::string& request, int number, CannedServer::Connection& c) {
    if (number > 0 && !dropped.exchange(true)) {
      c.Close();
      return;
    }
    c.Send(CannedServer::Answer(200, request.substr(0, 4)));
  });
  EXPECT_EQ(HttpFetch(server.Url("/get")), "GET ");
  Text cookies;  // the same handle as the GET's connection
  HttpFetch(server.Url("/get"), 0, {}, &cookies);
  dropped = false;
  HttpFetch(server.Url("/post"), 1, "a=1", &cookies);
  HttpFetch(server.Url("/post"), 1, "a=2");
  int posts = 0;
  for (const std::string& request : server.Requests()) posts += request.starts_with("POST ");
  EXPECT_EQ(posts, 2);
}

TEST_F(FetchFaultsTest, AnHttp10ExchangeLeavesNoConnectionBehind) {
  // HTTP/1.0 without keep-alive ends the connection with the answer, whether or not the
  // server says so; a later fetch must not send its request down that connection.
  CannedServer server(Always(CannedServer::Answer(200, "k")));
  int status = 0;
  EXPECT_EQ(PlainHttpGet(server.Url("/1"), &status), "k");
  EXPECT_EQ(PlainHttpGet(server.Url("/2"), &status), "k");
  EXPECT_EQ(HttpFetch(server.Url("/3")), "k");
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(server.Connections(), 3);
}

TEST_F(FetchFaultsTest, ThreadsFetchAtTheSameTimeWithTheirOwnHandles) {
  CannedServer server([](const std::string& request, int, CannedServer::Connection& connection) {
    // Each answer sets a cookie named after the path, so the jar is written from every thread.
    const std::string path = request.substr(4, request.find(' ', 4) - 4);
    connection.Send(CannedServer::Answer(200, path, {"Set-Cookie: c" + path.substr(1) + "=1"}));
  });
  std::vector<std::jthread> threads;
  std::atomic<int> good = 0;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) {
        const std::string path = "/" + std::to_string(t) + "x" + std::to_string(i);
        int status = 0;
        if (HttpFetch(server.Url(path)) == path &&
            WinHttpFetch(server.Url(path), 0, {}, nullptr, nullptr, nullptr, nullptr, &status) ==
                path &&
            PlainHttpGet(server.Url(path)) == path) {
          ++good;
        }
      }
      ReleaseThreadTransferHandles();
    });
  }
  threads.clear();
  EXPECT_EQ(good.load(), 100);
  EXPECT_EQ(server.Requests().size(), 300u);
}

}  // namespace
}  // namespace ak::test
