#pragma once

#include <chrono>

#include <stop_token>
#include <string_view>

#include "base/types.h"
#include "net/curl_transfer.h"

namespace ak {

// The picture fetch: one exchange that reports the status code, applies one time-out to every
// phase, accepts any server certificate and keeps no cookies but the caller's string. Redirects
// are followed unless `noRedirect`. A failed exchange gives an empty body, empty response
// headers and status 0; error statuses return their body like any other.
struct WinHttpFetchRequest {
  Text url;
  // 0 GET, 1 POST, 2 HEAD; anything else means GET.
  int method = 0;
  Text postText;
  // Sent as the Cookie header when not empty.
  Text cookies;
  // Header lines separated by CR LF; the defaults the fetch needs are added to them.
  Text extraHeaders;
  bool noRedirect = false;
  // Sent instead of `postText` when not empty.
  Bytes postBytes;
  Text proxy;
  // Seconds for resolving, connecting, sending and each wait for data: 1 or more as given;
  // -1 leaves the defaults of a fresh request (60 s to connect, 30 s without data); 0 and any
  // other value mean 15.
  int timeoutSeconds = 0;
  // The whole exchange must end within this (zero: only the limits of `timeoutSeconds`).
  std::chrono::milliseconds totalLimit{0};
  Text proxyUser;
  Text proxyPassword;
  // Kept for callers that pass it; the proxy's authentication scheme is left to libcurl.
  int proxyCredentialFlags = 1;
  std::stop_token stop;
};

struct WinHttpFetchResult {
  TransferOutcome outcome = TransferOutcome::kRejected;
  long status = 0;
  Bytes body;
  // The caller's cookie string merged with the response's cookies.
  Text cookies;
  // The name=value pairs of the response's Set-Cookie headers, blanks removed.
  Text responseCookies;
  // The complete header text that was applied.
  Text appliedHeaders;
  // The response's header lines (no status line), each ending in CR LF, "Set-Cookie" spelt so.
  Text responseHeaders;
  // Where the answer came from (the request's address, or where redirects led), and the
  // Location the last response named: known also when the exchange failed after a redirect.
  Text effectiveUrl;
  Text location;
};

WinHttpFetchResult PerformWinHttpFetch(const WinHttpFetchRequest& request);

// The fetch in two halves, for a caller that runs the exchange itself (several in flight, see
// net/transfer_set.h): the exchange to make (`appliedHeaders` receives the header text applied),
// and the fetch's result made of the exchange's.
TransferRequest WinHttpTransfer(const WinHttpFetchRequest& request, Text& appliedHeaders);
WinHttpFetchResult WinHttpResultOf(const WinHttpFetchRequest& request, Text appliedHeaders,
                                   TransferResult done);

// The picture fetch with its classic arguments; absent in/out arguments are null pointers. On
// return `extraHeaders` holds the header text that was applied.
Bytes WinHttpFetch(std::string_view url, int method = 0, std::string_view postText = {},
                   Text* cookies = nullptr, Text* responseCookies = nullptr,
                   Text* extraHeaders = nullptr, Text* responseHeaders = nullptr,
                   int* status = nullptr, bool noRedirect = false, std::string_view postBytes = {},
                   std::string_view proxy = {}, int timeoutSeconds = 0,
                   std::string_view proxyUser = {}, std::string_view proxyPassword = {},
                   int proxyCredentialFlags = 1, std::stop_token stop = {});

// The time-outs a picture fetch applies for a `timeoutSeconds` argument.
struct FetchTimeouts {
  std::chrono::milliseconds connect;
  std::chrono::milliseconds idle;
};
FetchTimeouts WinHttpTimeouts(int timeoutSeconds);

}  // namespace ak
