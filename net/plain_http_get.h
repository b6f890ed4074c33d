#pragma once

#include <chrono>
#include <stop_token>
#include <string_view>

#include "base/types.h"
#include "net/curl_transfer.h"

namespace ak {

// The plain picture transport: an HTTP/1.0 GET that sends only "Accept: */*" beyond the Host and
// User-Agent lines, follows redirects, uses the shared cookie jar, and returns the body whatever
// the status. A connection that cannot be made or an exchange that breaks off gives an empty
// body and status 0. `status`, when given, receives the status code.
struct PlainHttpGetResult {
  bool completed = false;
  // The limit (or a connect or idle wait) expired before the answer was whole.
  bool timedOut = false;
  // 0 when the exchange did not complete.
  int status = 0;
  Bytes body;
  // Where redirects led and the Location of the last response, as the picture fetch reports.
  Text effectiveUrl;
  Text location;
};
// `limit`, when not zero, bounds the whole exchange (and so the connect and idle waits).
PlainHttpGetResult PerformPlainHttpGet(std::string_view url, std::stop_token stop = {},
                                       std::chrono::milliseconds limit = {});
Bytes PlainHttpGet(std::string_view url, int* status = nullptr, std::stop_token stop = {});

// The plain GET in two halves, for a caller that runs the exchange itself (several in flight,
// see net/transfer_set.h).
TransferRequest PlainHttpGetTransfer(std::string_view url, std::stop_token stop = {},
                                     std::chrono::milliseconds limit = {});
PlainHttpGetResult PlainHttpGetResultOf(TransferResult done);

}  // namespace ak
