#include "net/plain_http_get.h"

#include <algorithm>
#include <chrono>

#include "net/answer_kind.h"
#include "net/curl_transfer.h"
#include "net/fetch_address.h"
#include "net/request_headers.h"

namespace ak {

TransferRequest PlainHttpGetTransfer(std::string_view url, std::stop_token stop,
                                     std::chrono::milliseconds limit) {
  TransferRequest transfer;
  transfer.url = TransferAddress(url);
  transfer.http10 = true;
  transfer.headers = {"Accept: */*"};
  transfer.userAgent = std::string(DefaultAgent);
  transfer.cookies = TransferCookies::kSharedJar;
  transfer.tls = TransferTls::kVerify;
  transfer.connectTimeout = std::chrono::seconds(30);
  transfer.idleTimeout = std::chrono::seconds(60);
  if (limit.count() > 0) {
    transfer.connectTimeout = std::min<std::chrono::milliseconds>(transfer.connectTimeout, limit);
    transfer.idleTimeout = std::min<std::chrono::milliseconds>(transfer.idleTimeout, limit);
    transfer.totalTimeout = limit;
  }
  transfer.stop = std::move(stop);
  return transfer;
}

PlainHttpGetResult PlainHttpGetResultOf(TransferResult done) {
  PlainHttpGetResult result;
  result.timedOut = done.outcome == TransferOutcome::kTimedOut;
  if (done.outcome != TransferOutcome::kStopped) {
    result.effectiveUrl = std::move(done.effectiveUrl);
    result.location = LocationOf(done.headers);
  }
  if (!done.completed()) return result;
  result.completed = true;
  result.status = static_cast<int>(done.status);
  result.body = std::move(done.body);
  return result;
}

PlainHttpGetResult PerformPlainHttpGet(std::string_view url, std::stop_token stop,
                                       std::chrono::milliseconds limit) {
  return PlainHttpGetResultOf(RunTransfer(PlainHttpGetTransfer(url, std::move(stop), limit)));
}

Bytes PlainHttpGet(std::string_view url, int* status, std::stop_token stop) {
  PlainHttpGetResult result = PerformPlainHttpGet(url, std::move(stop));
  if (status) *status = result.status;
  return std::move(result.body);
}

}  // namespace ak
