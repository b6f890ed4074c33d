#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <stop_token>
#include <string_view>

#include "base/types.h"
#include "net/curl_transfer.h"

namespace ak {

// One page fetch: a GET, POST or HEAD exchange over HTTP or HTTPS that returns the body bytes.
// Redirects are followed (HTTP to HTTPS included) unless `noRedirect`; server certificates are
// verified. Without a cookie string the shared cookie jar supplies and keeps the cookies (so a
// user who signed in through the browser is signed in for every page fetch); with one, that
// string is the only cookie store. A connection must be made within 30 s and a stalled exchange
// is abandoned after 60 s without a byte; the body then holds what arrived.
struct HttpFetchRequest {
  Text url;
  // 0 GET, 1 POST, 2 HEAD; anything else means GET.
  int method = 0;
  // The body of a POST when `postBytes` is empty, sent as its bytes. GET and HEAD send none.
  Text postText;
  // "name=value; name=value" sent as the Cookie header when not empty. Present (even empty):
  // the shared jar is not used and the result carries it merged with the response's cookies.
  std::optional<Text> cookies;
  // Header lines separated by CR LF; the defaults the page fetch needs are added to them.
  // Through the shared jar a Host line is left out: the Host header names the address's host,
  // under which the jar's cookies are sent and kept.
  Text extraHeaders;
  bool noRedirect = false;
  Bytes postBytes;
  // host:port of an HTTP proxy; empty for a direct connection.
  Text proxy;
  // Requesting a stop abandons the exchange at once; the fetch then returns nothing.
  std::stop_token stop;
  // Limits of the exchange: to connect, and without a byte once connected.
  std::chrono::milliseconds connectTimeout = std::chrono::seconds(30);
  std::chrono::milliseconds idleTimeout = std::chrono::seconds(60);
  // The most body bytes kept; a longer answer is broken off and the body holds that many.
  std::size_t maxBodyBytes = kMaxTransferBodyBytes;
};

struct HttpFetchResult {
  // False when the exchange could not be set up (no host, a port out of range, an address
  // libcurl refuses): the body is empty and the fields below hold the request's own values.
  bool setUp = false;
  TransferOutcome outcome = TransferOutcome::kRejected;
  long status = 0;
  Bytes body;
  // The caller's cookie string merged with the response's cookies (when cookies were given).
  Text cookies;
  // The name=value pairs of the response's Set-Cookie headers, joined by "; ".
  Text responseCookies;
  // The complete header block that was sent.
  Text sentHeaders;
  // The response's header block, status line first, lines ending in CR LF, "Set-Cookie"
  // spelt so whatever the server wrote.
  Text responseHeaders;
  // The body that was sent: the POST's; empty for GET and HEAD, which send none.
  Bytes postBytes;
  // Where the answer came from: the request's address, or the last one redirects led to.
  Text effectiveUrl;
};

HttpFetchResult PerformHttpFetch(const HttpFetchRequest& request);

// The page fetch with its classic arguments. An absent in/out argument is a null pointer;
// `cookies` present (non-null) switches the shared jar off as described above. On return
// `extraHeaders` holds the header block that was sent and `postBytes` the body that was sent
// (a POST's; empty for GET and HEAD).
Bytes HttpFetch(std::string_view url, int method = 0, std::string_view postText = {},
                Text* cookies = nullptr, Text* responseCookies = nullptr,
                Text* extraHeaders = nullptr, Text* responseHeaders = nullptr,
                bool noRedirect = false, Bytes* postBytes = nullptr, std::string_view proxy = {},
                std::stop_token stop = {});

}  // namespace ak
