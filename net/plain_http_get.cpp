#include "net/plain_http_get.h"

#include <chrono>

#include "net/curl_transfer.h"
#include "net/fetch_address.h"
#include "net/request_headers.h"

namespace ak {

Bytes PlainHttpGet(std::string_view url, int* status, std::stop_token stop) {
  TransferRequest transfer;
  transfer.url = TransferAddress(url);
  transfer.http10 = true;
  transfer.headers = {"Accept: */*"};
  transfer.userAgent = std::string(DefaultAgent);
  transfer.cookies = TransferCookies::kSharedJar;
  transfer.tls = TransferTls::kVerify;
  transfer.connectTimeout = std::chrono::seconds(30);
  transfer.idleTimeout = std::chrono::seconds(60);
  transfer.stop = std::move(stop);
  TransferResult done = RunTransfer(transfer);
  if (status) *status = done.completed() ? static_cast<int>(done.status) : 0;
  if (!done.completed()) return {};
  return std::move(done.body);
}

}  // namespace ak
