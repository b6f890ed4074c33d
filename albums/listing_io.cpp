#include "albums/listing_io.h"

#include "base/delay.h"
#include "net/http_fetch.h"
#include "net/plain_http_get.h"

namespace ak {
namespace {

class ServiceIo final : public ListingIo {
 public:
  Bytes FetchPage(const Text& url, std::stop_token stop) override {
    HttpFetchRequest request;
    request.url = url;
    request.stop = std::move(stop);
    return PerformHttpFetch(request).body;
  }
  Bytes FetchCover(const Text& url, std::stop_token stop) override {
    return PlainHttpGet(url, nullptr, std::move(stop));
  }
  void Pause(int milliseconds, std::stop_token stop) override {
    PumpingDelay(milliseconds, 0, std::move(stop));
  }
};

}  // namespace

ListingIo& ServiceListingIo() {
  static ServiceIo io;
  return io;
}

}  // namespace ak
