// What counts as a refusal of the service, and the pacing between requests.

#include <gtest/gtest.h>

#include <chrono>
#include <stop_token>
#include <thread>

#include "base/codec.h"
#include "download/refusal.h"
#include "download/request_pacer.h"
#include "net/service_config.h"

namespace ak {
namespace {

using namespace std::chrono_literals;

TEST(RefusalDetection, StatusesPagesAndLoginAddresses) {
  EXPECT_TRUE(IsRefusalStatus(403));
  EXPECT_TRUE(IsRefusalStatus(418));
  for (long status : {0L, 200L, 302L, 404L, 500L}) EXPECT_FALSE(IsRefusalStatus(status)) << status;

  // The marker as the service writes it, in the page's UTF-8.
  EXPECT_TRUE(IsBlockPage("<div>检测到有异常请求从你的 IP 发出，请登录使用豆瓣。</div>"));
  EXPECT_FALSE(IsBlockPage("<div>检测到有异常请求从你的 IP 发出</div>"));
  EXPECT_FALSE(IsBlockPage(""));
  // A GBK page is not converted to the marker by accident.
  EXPECT_FALSE(IsBlockPage(BlockPageMarker()));

  const std::string web = "http://" + WebHost();
  struct Case {
    std::string url;
    bool login;
  };
  const Case cases[] = {
      {web + "/login", true},
      {web + "/login?redir=/photos/album/1/", true},
      {"https://" + WebHost() + ":8443/login", true},
      {"https://accounts.douban.com/passport/login?source=main", true},
      {web + "/passport/login", true},
      {web + "/loginx", false},
      {web + "/photos/album/1/?start=login", false},
      {"http://img1.doubanio.com/login", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsLoginAddress(c.url), c.login) << c.url;

  // Only the service's hosts can refuse the batch.
  for (const std::string& url :
       {web + "/photos/album/1/", "https://" + ApiHost() + "/v2/album/1",
        std::string("http://img3.doubanio.com/view/photo/photo/public/p1.jpg"),
        std::string("https://accounts.douban.com/passport/login")}) {
    EXPECT_TRUE(IsServiceAddress(url)) << url;
  }
  for (const char* url : {"5", "null", "http://5/", "http://notdouban.com/",
                          "http://doubanio.com.evil/x", "http://evildoubanio.com/"}) {
    EXPECT_FALSE(IsServiceAddress(url)) << url;
  }
}

TEST(RequestPacer, IntervalTextsFromSettingsAndCommandLine) {
  EXPECT_EQ(IntervalMilliseconds("0"), 0);
  EXPECT_EQ(IntervalMilliseconds("1500"), 1500);
  EXPECT_EQ(IntervalMilliseconds(" 250ms"), 250);
  EXPECT_EQ(IntervalMilliseconds("-5"), 0);
  EXPECT_EQ(IntervalMilliseconds("abc"), 0);
  EXPECT_EQ(IntervalMilliseconds(""), 0);
  EXPECT_EQ(IntervalMilliseconds("99999999999999999999999"), kMaxIntervalMs);
}

TEST(RequestPacer, KeepsTheIntervalBacksOffAndStopsAWait) {
  RequestPacer none;
  EXPECT_TRUE(none.WaitTurn());
  EXPECT_TRUE(none.WaitTurn());

  RequestPacer pacer(120ms);
  EXPECT_TRUE(pacer.WaitTurn());  // the first request does not wait
  const auto first = std::chrono::steady_clock::now();
  EXPECT_TRUE(pacer.WaitTurn());
  const auto second = std::chrono::steady_clock::now();
  EXPECT_GE(second - first, 120ms);
  // After a refusal the next request waits the whole interval from the back-off.
  std::this_thread::sleep_for(150ms);
  pacer.BackOff();
  const auto backedOff = std::chrono::steady_clock::now();
  EXPECT_TRUE(pacer.WaitTurn());
  EXPECT_GE(std::chrono::steady_clock::now() - backedOff, 120ms);

  RequestPacer slow(std::chrono::hours(1));
  EXPECT_TRUE(slow.WaitTurn());
  std::stop_source stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(20ms);
    stop.request_stop();
  });
  EXPECT_FALSE(slow.WaitTurn(stop.get_token()));
  stopper.join();
}

}  // namespace
}  // namespace ak
