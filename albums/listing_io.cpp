#include "albums/listing_io.h"

#include "base/delay.h"
#include "net/plain_http_get.h"
#include "net/winhttp_fetch.h"
#include "requests/service_send.h"

namespace ak {
namespace {

constexpr int kStatusForbidden = 403;
constexpr int kCoverTimeoutSeconds = 30;

class ServiceIo final : public ListingIo {
 public:
  Bytes FetchPage(const Text& url, std::stop_token stop) override {
    return HttpPageAnswer(url, std::move(stop)).body;
  }
  ServiceAnswer FetchPageAnswer(const Text& url, std::stop_token stop) override {
    return HttpPageAnswer(url, std::move(stop));
  }
  Bytes FetchCover(const Text& url, const Text& listPage, std::stop_token stop) override {
    int status = 0;
    Bytes body = PlainHttpGet(url, &status, stop);
    if (status != kStatusForbidden || listPage.empty() || stop.stop_requested()) return body;
    WinHttpFetchRequest again;
    again.url = url;
    again.extraHeaders = "Referer: " + listPage + "\r\n";
    again.timeoutSeconds = kCoverTimeoutSeconds;
    again.stop = std::move(stop);
    return PerformWinHttpFetch(again).body;
  }
  void Pause(int milliseconds, std::stop_token stop) override {
    PumpingDelay(milliseconds, 0, std::move(stop));
  }
};

}  // namespace

ServiceAnswer ListingIo::FetchPageAnswer(const Text& url, std::stop_token stop) {
  ServiceAnswer answer;
  answer.url = url;
  answer.body = FetchPage(url, std::move(stop));
  answer.completed = !answer.body.empty();
  answer.status = answer.completed ? 200 : 0;
  return answer;
}

ListingIo& ServiceListingIo() {
  static ServiceIo io;
  return io;
}

}  // namespace ak
