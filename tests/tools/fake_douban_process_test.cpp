// The double as a process: its request log keeps what clients sent, in order, and it stops
// cleanly on SIGTERM and when its input closes.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/text_ops.h"
#include "download/photo_request.h"
#include "tests/support/fake_douban_process.h"
#include "tests/tools/douban_client.h"
#include "tools/double_process/double_process.h"

namespace ak::test {
namespace {

TEST(FakeDoubanProcess, RequestLogKeepsHeadersInTheOrderSent) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  // The picture request's header block, in its own order (not alphabetical).
  std::vector<std::string> block = Split(PhotoHeaderBlock("2155058361"), "\r\n");
  ASSERT_EQ(block.size(), 6u);
  const Fetched fetched =
      Fetch(douban, "http://img3.doubanio.com/view/photo/large/public/p2155058361.jpg",
            {.headers = block});
  ASSERT_EQ(fetched.status, 200);
  // Answers stay uncompressed whatever the client accepts.
  EXPECT_EQ(fetched.body.substr(0, 2), "\xFF\xD8");

  const std::vector<LoggedRequest> requests = douban.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const LoggedRequest& request = requests[0];
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.scheme, "http");
  EXPECT_EQ(request.target, "/view/photo/large/public/p2155058361.jpg");
  EXPECT_EQ(request.HeaderNames(),
            (std::vector<std::string>{"Host", "User-Agent", "Accept", "Accept-Language",
                                      "Accept-Encoding", "DNT", "Referer"}));
  EXPECT_EQ(request.Header("referer"), "http://www.douban.com/photos/photo/2155058361/large");
  EXPECT_EQ(request.Header("Host"), "img3.doubanio.com");
}

TEST(FakeDoubanProcess, RequestLogCountsOverBothPortsAndCanBeCleared) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  Fetch(douban, "http://www.douban.com/people/ahua", {.http10 = true});
  Fetch(douban, "https://api.douban.com/v2/album/1620000001/photos?count=1");
  std::vector<LoggedRequest> requests = douban.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].version, "HTTP/1.0");
  EXPECT_EQ(requests[1].scheme, "https");
  EXPECT_EQ(requests[1].target, "/v2/album/1620000001/photos?count=1");
  EXPECT_LT(requests[0].seq, requests[1].seq);

  douban.ClearRequests();
  Fetch(douban, "http://www.douban.com/people/ahua/photos?start=16", {.postFields = "a=1&b=2"});
  requests = douban.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].seq, 3);
}

TEST(FakeDoubanProcess, KeepAliveConnectionsLogEveryRequest) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  // One handle reuses its connection; the stream is followed request after request.
  CURL* curl = curl_easy_init();
  curl_slist* connectTo = nullptr;
  connectTo = curl_slist_append(
      connectTo, ("www.douban.com:80:127.0.0.1:" + std::to_string(douban.webPort())).c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo);
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION,
      +[](char*, size_t size, size_t count, void*) { return size * count; });
  for (const char* path : {"/people/ahua", "/people/ahua/photos", "/photos/album/1620000001/"}) {
    curl_easy_setopt(curl, CURLOPT_URL, (std::string("http://www.douban.com") + path).c_str());
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
  }
  curl_easy_setopt(curl, CURLOPT_URL, "http://www.douban.com/login");
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "form_email=a&form_password=b");
  EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
  curl_easy_setopt(curl, CURLOPT_POST, 0L);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_URL, "http://www.douban.com/");
  EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
  long connects = 0;
  curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
  curl_slist_free_all(connectTo);
  curl_easy_cleanup(curl);

  const std::vector<LoggedRequest> requests = douban.Requests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[3].target, "/login");
  EXPECT_EQ(requests[4].target, "/");
  EXPECT_EQ(connects, 0);  // the last request reused the connection
}

TEST(FakeDoubanProcess, ChunkedBodiesPassThrough) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  const Fetched posted = Fetch(douban, "http://www.douban.com/login",
                               {.headers = {"Transfer-Encoding: chunked"},
                                .postFields = "form_email=chunky&form_password=b"});
  EXPECT_EQ(posted.status, 302);
  EXPECT_NE(posted.headerText.find("dbcl2=\"1000001:chunky\""), std::string::npos);
  const std::vector<LoggedRequest> requests = douban.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("Transfer-Encoding"), "chunked");
}

TEST(FakeDoubanProcess, StopsOnSigterm) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  EXPECT_EQ(douban.Stop(), 0);
  EXPECT_FALSE(douban.running());
}

TEST(FakeDoubanProcess, StopsWhenItsInputCloses) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  EXPECT_EQ(douban.CloseInputAndWait(10000), 0);
}

TEST(FakeDoubanProcess, ConnectToNamesEveryHost) {
  FakeDouban douban;
  ASSERT_TRUE(douban.Start()) << douban.error();
  const std::string web = ":127.0.0.1:" + std::to_string(douban.webPort());
  const std::string api = ":127.0.0.1:" + std::to_string(douban.apiPort());
  for (const std::string& entry :
       {"www.douban.com:80" + web, "www.douban.com:443" + api, "api.douban.com:443" + api,
        "img1.doubanio.com:80" + web, "img3.doubanio.com:80" + web}) {
    EXPECT_NE(douban.connectTo().find(entry), std::string::npos) << entry;
  }
}

// What the demo and the tests start is taken only when it announces itself completely; anything
// else is refused and ended rather than used with empty ports or CA file.
TEST(DoubleProcess, TakesOnlyACompleteAnnouncement) {
  struct Row {
    std::string output;
    bool taken;
  };
  for (const Row& row : std::vector<Row>{
           {"web=8001 api=8002\nca=/tmp/ca.pem\nconnect-to=www.douban.com:80:127.0.0.1:8001\n",
            true},
           {"web=8001 api=8002\nca=\nconnect-to=x\n", false},
           {"web=none\nca=/tmp/ca.pem\nconnect-to=x\n", false},
           {"web=8001 api=8002\n", false},  // ends after one line
           {"", false},
       }) {
    SCOPED_TRACE(row.output);
    DoubleProcess process;
    std::string error;
    // The stand-in prints its lines; after three it waits for its input to close as the double
    // does, with fewer it ends.
    const bool three = std::count(row.output.begin(), row.output.end(), '\n') == 3;
    const std::string script =
        "printf '" + row.output + "'; " + (three ? "exec cat >/dev/null" : "exit 0");
    const bool taken = process.Start({"/bin/sh", "-c", script}, std::chrono::seconds(20), error);
    EXPECT_EQ(taken, row.taken) << error;
    EXPECT_EQ(process.running(), row.taken);
    if (taken) {
      EXPECT_EQ(process.announcement().webPort, 8001);
      EXPECT_EQ(process.announcement().apiPort, 8002);
      EXPECT_EQ(process.announcement().caFile, "/tmp/ca.pem");
      EXPECT_EQ(process.CloseInputAndWait(std::chrono::seconds(10)), 0);
    }
  }
}

}  // namespace
}  // namespace ak::test
