// Fetches to a host that never completes a connection: the connect limits and the stop token
// end them.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "net/http_fetch.h"
#include "net/plain_http_get.h"
#include "net/service_config.h"
#include "net/winhttp_fetch.h"
#include "tests/net/stop_soon.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;

// A loopback listener whose queue is full: further connections hang in their handshake.
class FullListener {
 public:
  FullListener() {
    listen_ = Socket();
    sockaddr_in address = Loopback(0);
    EXPECT_EQ(::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(listen_, 0), 0);
    socklen_t length = sizeof address;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    filler_ = Socket();
    address = Loopback(port_);
    EXPECT_EQ(::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  ~FullListener() {
    ::close(filler_);
    ::close(listen_);
  }
  FullListener(const FullListener&) = delete;
  FullListener& operator=(const FullListener&) = delete;

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  static int Socket() { return ::socket(AF_INET, SOCK_STREAM, 0); }
  static sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
  }
  int listen_ = -1;
  int filler_ = -1;
  int port_ = 0;
};

class FetchConnectTest : public ::testing::Test {
 protected:
  void SetUp() override { SetServiceConfig({}); }
  void TearDown() override { ReloadServiceConfig(); }
};

TEST_F(FetchConnectTest, ConnectLimitEndsTheFetch) {
  FullListener listener;
  HttpFetchRequest request;
  request.url = listener.Url();
  request.connectTimeout = 300ms;
  const HttpFetchResult result = PerformHttpFetch(request);
  EXPECT_TRUE(result.setUp);
  EXPECT_EQ(result.outcome, TransferOutcome::kTimedOut);
  EXPECT_TRUE(result.body.empty());

  int status = -1;
  Text headers = "untouched";
  EXPECT_TRUE(WinHttpFetch(listener.Url(), 0, {}, nullptr, nullptr, nullptr, &headers, &status,
                           false, {}, {}, 1)
                  .empty());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(headers, "");
}

TEST_F(FetchConnectTest, StopTokenEndsAHangingConnect) {
  FullListener listener;
  {
    std::stop_source source;
    auto stopper = StopSoon(source);
    HttpFetchRequest request;
    request.url = listener.Url();
    request.stop = source.get_token();
    EXPECT_EQ(PerformHttpFetch(request).outcome, TransferOutcome::kStopped);
  }
  {
    std::stop_source source;
    auto stopper = StopSoon(source);
    int status = -1;
    EXPECT_TRUE(PlainHttpGet(listener.Url(), &status, source.get_token()).empty());
    EXPECT_EQ(status, 0);
  }
}

}  // namespace
}  // namespace ak::test
