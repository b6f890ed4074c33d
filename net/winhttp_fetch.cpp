#include "net/winhttp_fetch.h"

#include <string>

#include "net/answer_kind.h"
#include "net/cookies.h"
#include "net/fetch_address.h"
#include "net/request_headers.h"

namespace ak {
namespace {

// The header lines of a response block without its status line.
std::string HeaderLinesOnly(std::string_view block) {
  const auto firstBreak = block.find("\r\n");
  if (firstBreak == std::string_view::npos || !block.starts_with("HTTP/"))
    return std::string(block);
  return std::string(block.substr(firstBreak + 2));
}

}  // namespace

FetchTimeouts WinHttpTimeouts(int timeoutSeconds) {
  using std::chrono::milliseconds;
  if (timeoutSeconds == -1) return {milliseconds(60000), milliseconds(30000)};
  const milliseconds each(timeoutSeconds >= 1 ? timeoutSeconds * 1000LL : 15000LL);
  return {each, each};
}

TransferRequest WinHttpTransfer(const WinHttpFetchRequest& request, Text& appliedHeaders) {
  const int method = request.method >= 0 && request.method <= 2 ? request.method : 0;
  const FetchTimeouts timeouts = WinHttpTimeouts(request.timeoutSeconds);

  TransferRequest transfer;
  transfer.url = TransferAddress(request.url);
  transfer.verb = VerbOfMethod(method);
  appliedHeaders = PictureHeaderText(request.extraHeaders, request.url);
  for (const HeaderSetting& setting : PictureHeaderSettings(appliedHeaders, request.cookies)) {
    transfer.headers.push_back(setting.first + ": " + setting.second);
  }
  if (method != 0) transfer.body = request.postBytes.empty() ? request.postText : request.postBytes;
  transfer.followRedirects = !request.noRedirect;
  transfer.cookies = TransferCookies::kNone;
  transfer.tls = TransferTls::kAcceptAny;
  transfer.connectTimeout = timeouts.connect;
  transfer.idleTimeout = timeouts.idle;
  transfer.totalTimeout = request.totalLimit;
  transfer.proxy = request.proxy;
  if (!request.proxy.empty()) {
    transfer.proxyUser = request.proxyUser;
    transfer.proxyPassword = request.proxyPassword;
  }
  transfer.stop = request.stop;
  return transfer;
}

WinHttpFetchResult WinHttpResultOf(const WinHttpFetchRequest& request, Text appliedHeaders,
                                   TransferResult done) {
  WinHttpFetchResult result;
  result.appliedHeaders = std::move(appliedHeaders);
  result.outcome = done.outcome;
  if (done.outcome != TransferOutcome::kStopped) {
    result.effectiveUrl = done.effectiveUrl;
    result.location = LocationOf(done.headers);
  }
  // Only a complete exchange counts: a cut-off picture must not pass for one with its status.
  if (done.completed()) {
    result.status = done.status;
    result.body = std::move(done.body);
    result.responseHeaders = NormaliseSetCookieSpelling(HeaderLinesOnly(done.headers));
  }
  result.responseCookies = SetCookieExtraction(result.responseHeaders);
  result.cookies = request.cookies;
  MergeCookies(result.cookies, result.responseCookies);
  return result;
}

WinHttpFetchResult PerformWinHttpFetch(const WinHttpFetchRequest& request) {
  Text applied;
  const TransferRequest transfer = WinHttpTransfer(request, applied);
  return WinHttpResultOf(request, std::move(applied), RunTransfer(transfer));
}

Bytes WinHttpFetch(std::string_view url, int method, std::string_view postText, Text* cookies,
                   Text* responseCookies, Text* extraHeaders, Text* responseHeaders, int* status,
                   bool noRedirect, std::string_view postBytes, std::string_view proxy,
                   int timeoutSeconds, std::string_view proxyUser, std::string_view proxyPassword,
                   int proxyCredentialFlags, std::stop_token stop) {
  WinHttpFetchRequest request;
  request.url = Text(url);
  request.method = method;
  request.postText = Text(postText);
  if (cookies) request.cookies = *cookies;
  if (extraHeaders) request.extraHeaders = *extraHeaders;
  request.noRedirect = noRedirect;
  request.postBytes = Bytes(postBytes);
  request.proxy = Text(proxy);
  request.timeoutSeconds = timeoutSeconds;
  request.proxyUser = Text(proxyUser);
  request.proxyPassword = Text(proxyPassword);
  request.proxyCredentialFlags = proxyCredentialFlags;
  request.stop = std::move(stop);

  WinHttpFetchResult result = PerformWinHttpFetch(request);
  if (cookies) *cookies = std::move(result.cookies);
  if (responseCookies) *responseCookies = std::move(result.responseCookies);
  if (extraHeaders) *extraHeaders = std::move(result.appliedHeaders);
  if (responseHeaders) *responseHeaders = std::move(result.responseHeaders);
  if (status) *status = static_cast<int>(result.status);
  return std::move(result.body);
}

}  // namespace ak
