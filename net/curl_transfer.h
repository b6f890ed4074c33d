#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "base/types.h"

namespace ak {

// One HTTP exchange as the fetch procedures describe it to libcurl. Every fetch on a thread goes
// through that thread's own easy handles, which keep their connections open for the next fetch.

enum class TransferCookies {
  kNone,       // no cookie of libcurl's own is sent or kept
  kSharedJar,  // the shared cookie jar's cookies are sent and the response's are kept in it
};

enum class TransferTls {
  kVerify,     // the system's CAs and the configured extra bundle; host names checked
  kAcceptAny,  // any server certificate is accepted
};

// Far above any page or picture of the service.
inline constexpr std::size_t kMaxTransferBodyBytes = std::size_t{1} << 30;

struct TransferRequest {
  std::string url;  // with scheme; its path goes out as written, dot segments included
  std::string verb = "GET";
  bool http10 = false;
  // Request header lines exactly as they go out, in order ("Name: value"). Lines without a
  // colon and empty lines are not sent. Headers libcurl would add of its own (Accept,
  // Accept-Encoding, Expect) are kept out unless named here; Host is always sent. A transfer
  // through the shared jar must not name Host (the cookie engine would take it for the host).
  std::vector<std::string> headers;
  // Sent as User-Agent unless `headers` names one; empty sends none.
  std::string userAgent;
  // The body of a POST; a HEAD sends none.
  std::optional<std::string_view> body;
  bool followRedirects = true;
  TransferCookies cookies = TransferCookies::kNone;
  TransferTls tls = TransferTls::kVerify;
  // Resolve and connect (TLS handshake included) must end within `connectTimeout`; once
  // connected, the exchange is abandoned when no byte arrives for `idleTimeout`. Zero leaves
  // libcurl's own connect limit (300 s) and no idle limit.
  std::chrono::milliseconds connectTimeout{0};
  std::chrono::milliseconds idleTimeout{0};
  // The whole exchange, redirects included, must end within `totalTimeout` (zero: no limit).
  std::chrono::milliseconds totalTimeout{0};
  // The most body bytes (after decoding) kept; an answer with more is broken off as failed, so
  // a server that never stops sending cannot exhaust memory.
  std::size_t maxBodyBytes = kMaxTransferBodyBytes;
  std::string proxy;  // host:port; empty for a direct connection
  std::string proxyUser;
  std::string proxyPassword;
  // Requesting a stop aborts the exchange at once.
  std::stop_token stop;
};

enum class TransferOutcome {
  kCompleted,  // the whole response arrived
  kFailed,     // could not connect, or the exchange broke off
  kTimedOut,   // a time-out expired
  kStopped,    // the caller's stop token was set
  kRejected,   // the request could not be set up (bad address, no handle)
};

struct TransferResult {
  TransferOutcome outcome = TransferOutcome::kRejected;
  long status = 0;
  // The body as far as it arrived, Content-Encoding removed.
  Bytes body;
  // The last response's header block: status line and header lines, each ending in CR LF, then
  // the empty line that ended the block.
  std::string headers;
  // The address the last response came from (the request's, or where redirects led).
  std::string effectiveUrl;
  std::string error;

  bool completed() const { return outcome == TransferOutcome::kCompleted; }
};

TransferResult RunTransfer(const TransferRequest& request);

// Drops the calling thread's handles and with them its open connections.
void ReleaseThreadTransferHandles();

}  // namespace ak
