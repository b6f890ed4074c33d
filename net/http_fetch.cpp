#include "net/http_fetch.h"

#include <chrono>
#include <string>

#include "base/text_ops.h"
#include "net/cookies.h"
#include "net/fetch_address.h"
#include "net/request_headers.h"
#include "net/url_parts.h"

namespace ak {
namespace {

std::vector<std::string> BlockLines(std::string_view block) {
  std::vector<std::string> lines;
  for (Text& line : Split(block, "\r\n")) lines.push_back(std::move(line));
  return lines;
}

}  // namespace

HttpFetchResult PerformHttpFetch(const HttpFetchRequest& request) {
  HttpFetchResult result;
  result.cookies = request.cookies.value_or(Text());
  result.sentHeaders = request.extraHeaders;
  result.postBytes = request.postBytes;

  const int method = request.method >= 0 && request.method <= 2 ? request.method : 0;
  const bool secure = UrlIsSecure(request.url);
  const Text host = UrlHost(request.url);
  int port = UrlPort(request.url);
  // Port 0 stands for the scheme's own port, as it does for a socket connection.
  if (port == 0) port = secure ? 443 : 80;
  if (host.empty() || port < 0 || port > 65535) return result;

  TransferRequest transfer;
  transfer.url = TransferAddress((secure ? "https://" : "http://") + host + ":" +
                                 std::to_string(port) + UrlPath(request.url));
  transfer.verb = VerbOfMethod(method);
  transfer.userAgent = AgentFromHeaders(request.extraHeaders);
  Text block = PageHeaderBlock(request.extraHeaders, request.url, result.cookies);
  // libcurl's cookie engine files and looks up cookies under the host a Host header names,
  // and keeps that host in the handle for every later fetch on the thread. The jar's cookies
  // belong to the address's host, so a fetch through the jar names only that host.
  if (!request.cookies.has_value()) block = WithoutHeader(block, "Host");
  transfer.headers = BlockLines(block);
  // A POST sends the bytes, or the text when there are none. GET and HEAD send no body (libcurl
  // sends none with a HEAD), so none is reported as sent.
  Bytes postBytes;
  if (method == 1) {
    postBytes = request.postBytes.empty() ? request.postText : request.postBytes;
    transfer.body = postBytes;
  }
  transfer.followRedirects = !request.noRedirect;
  transfer.cookies =
      request.cookies.has_value() ? TransferCookies::kNone : TransferCookies::kSharedJar;
  transfer.tls = TransferTls::kVerify;
  transfer.connectTimeout = request.connectTimeout;
  transfer.idleTimeout = request.idleTimeout;
  transfer.maxBodyBytes = request.maxBodyBytes;
  transfer.proxy = request.proxy;
  transfer.stop = request.stop;

  TransferResult done = RunTransfer(transfer);
  if (done.outcome == TransferOutcome::kRejected) return result;

  result.setUp = true;
  result.outcome = done.outcome;
  result.status = done.status;
  result.sentHeaders = block;
  result.postBytes = std::move(postBytes);
  // A fetch ended by its caller returns nothing; any other failure returns what arrived.
  if (done.outcome != TransferOutcome::kStopped) {
    result.body = std::move(done.body);
    result.responseHeaders = NormaliseSetCookieSpelling(done.headers);
    result.effectiveUrl = std::move(done.effectiveUrl);
  }
  result.responseCookies = SetCookieExtraction(result.responseHeaders);
  if (request.cookies.has_value()) MergeCookies(result.cookies, result.responseCookies);
  return result;
}

Bytes HttpFetch(std::string_view url, int method, std::string_view postText, Text* cookies,
                Text* responseCookies, Text* extraHeaders, Text* responseHeaders, bool noRedirect,
                Bytes* postBytes, std::string_view proxy, std::stop_token stop) {
  HttpFetchRequest request;
  request.url = Text(url);
  request.method = method;
  request.postText = Text(postText);
  if (cookies) request.cookies = *cookies;
  if (extraHeaders) request.extraHeaders = *extraHeaders;
  request.noRedirect = noRedirect;
  if (postBytes) request.postBytes = *postBytes;
  request.proxy = Text(proxy);
  request.stop = std::move(stop);

  HttpFetchResult result = PerformHttpFetch(request);
  if (!result.setUp) return {};
  if (cookies) *cookies = std::move(result.cookies);
  if (responseCookies) *responseCookies = std::move(result.responseCookies);
  if (extraHeaders) *extraHeaders = std::move(result.sentHeaders);
  if (responseHeaders) *responseHeaders = std::move(result.responseHeaders);
  if (postBytes) *postBytes = std::move(result.postBytes);
  return std::move(result.body);
}

}  // namespace ak
