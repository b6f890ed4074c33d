#include "net/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cassert>
#include <limits>
#include <memory>
#include <new>

#include "base/text_ops.h"
#include "net/cookie_jar.h"
#include "net/curl_cookie_sync.h"
#include "net/curl_exchange.h"
#include "net/curl_handles.h"
#include "net/service_config.h"

namespace ak {
namespace {

using Clock = std::chrono::steady_clock;

// Redirects a fetch follows before it gives up (a redirect loop ends there).
constexpr long kMaxRedirects = 10;
// The longest a wait for the network lasts before the loop looks at its clocks again; a stop
// request wakes it at once.
constexpr int kLongestPollMs = 1000;

void Append(Slist& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (grown) {
    static_cast<void>(list.release());
    list.reset(grown);
  }
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// The header list handed to libcurl. A header with an empty value is written "Name;", the form
// in which libcurl sends it rather than taking it as "drop this header". Headers libcurl adds of
// its own and the caller did not name are switched off with "Name:".
Slist HeaderList(const std::vector<std::string>& lines) {
  Slist list;
  bool namesAccept = false, namesAcceptEncoding = false, namesExpect = false;
  for (const std::string& line : lines) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string_view name = TrimSpacesAndTabs(std::string_view(line).substr(0, colon));
    if (name.empty()) continue;
    namesAccept = namesAccept || SameName(name, "Accept");
    namesAcceptEncoding = namesAcceptEncoding || SameName(name, "Accept-Encoding");
    namesExpect = namesExpect || SameName(name, "Expect");
    if (TrimSpacesAndTabs(std::string_view(line).substr(colon + 1)).empty()) {
      Append(list, std::string(line.substr(0, colon)) + ";");
    } else {
      Append(list, line);
    }
  }
  if (!namesAccept) Append(list, "Accept:");
  if (!namesAcceptEncoding) Append(list, "Accept-Encoding:");
  if (!namesExpect) Append(list, "Expect:");
  return list;
}

[[maybe_unused]] bool NamesHost(const std::string& line) {
  const auto colon = line.find(':');
  return colon != std::string::npos &&
         SameName(TrimSpacesAndTabs(std::string_view(line).substr(0, colon)), "Host");
}

// The callbacks run inside libcurl's C code, which no exception may cross: a failed allocation
// ends the exchange instead (a return short of the bytes offered aborts it).
size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* progress = static_cast<Progress*>(user);
  const size_t bytes = size * count;
  const size_t room = progress->maxBody - std::min(progress->maxBody, progress->body->size());
  try {
    progress->body->append(data, std::min(bytes, room));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  progress->lastActivity = Clock::now();
  return bytes <= room ? bytes : 0;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* progress = static_cast<Progress*>(user);
  const std::string_view line(data, size * count);
  // Each response (an interim 100, every redirect) starts a new block; the last one counts.
  if (line.starts_with("HTTP/")) progress->headers.clear();
  try {
    progress->headers.append(line);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  progress->lastActivity = Clock::now();
  return size * count;
}

int OnConnected(void* user, char*, char*, int, int) {
  auto* progress = static_cast<Progress*>(user);
  progress->connected = true;
  progress->lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

void SetVerb(CURL* easy, const TransferRequest& request) {
  if (request.verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (request.verb == "POST") {
    const std::string_view body = request.body.value_or(std::string_view());
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data() ? body.data() : "");
  } else if (request.verb != "GET") {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }
}

void SetTls(CURL* easy, const TransferRequest& request, const ServiceConfig& config) {
  if (request.tls == TransferTls::kAcceptAny) {
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    return;
  }
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!config.trustedCertificates.empty()) {
    curl_blob blob{const_cast<char*>(config.trustedCertificates.data()),
                   config.trustedCertificates.size(), CURL_BLOB_NOCOPY};
    curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
  }
}

// libcurl takes a long, which has 32 bits on Windows: a longer time-out is held at its limit
// rather than wrapped round.
long MillisecondsOption(std::chrono::milliseconds value) {
  return static_cast<long>(std::clamp<std::chrono::milliseconds::rep>(
      value.count(), 0, std::numeric_limits<long>::max()));
}

TransferOutcome Drive(CURLM* multi, CURL* easy, const TransferRequest& request, Progress& progress,
                      std::string& error) {
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) return TransferOutcome::kRejected;
  std::stop_callback wake(request.stop, [multi] { curl_multi_wakeup(multi); });
  TransferOutcome outcome = TransferOutcome::kFailed;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (running == 0) {
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easy) continue;
        outcome = OutcomeOf(message->data.result, error);
      }
      break;
    }
    if (request.stop.stop_requested()) {
      outcome = TransferOutcome::kStopped;
      break;
    }
    int waitMs = kLongestPollMs;
    if (request.idleTimeout.count() > 0 && progress.connected) {
      const auto left = progress.lastActivity + request.idleTimeout - Clock::now();
      if (left <= Clock::duration::zero()) {
        outcome = TransferOutcome::kTimedOut;
        error = "no data within the time-out";
        break;
      }
      const auto leftMs = std::chrono::ceil<std::chrono::milliseconds>(left).count();
      waitMs = static_cast<int>(std::min<long long>(waitMs, leftMs));
    }
    curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
  }
  curl_multi_remove_handle(multi, easy);
  return outcome;
}

}  // namespace

bool PrepareExchange(CURL* easy, const TransferRequest& request, CurlExchange& exchange) {
  const bool useJar = request.cookies == TransferCookies::kSharedJar;
  // A Host header would make libcurl's cookie engine file cookies under that name, for this
  // and every later exchange of the handle (a reset does not forget it).
  assert(!useJar || std::none_of(request.headers.begin(), request.headers.end(), NamesHost));
  curl_easy_reset(easy);
  const std::shared_ptr<const ServiceConfig> config = CurrentServiceConfig();

  Progress& progress = exchange.progress;
  progress.body = &exchange.result.body;
  progress.maxBody = request.maxBodyBytes;
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  if (curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str()) != CURLE_OK) return false;
  // The path goes out as the address writes it: libcurl would otherwise resolve "." and ".."
  // segments itself.
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                   request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  // An HTTP/1.0 exchange has a connection of its own, closed after it. A server may answer it
  // as HTTP/1.1 with a Keep-Alive header and close anyway; a later request on that connection
  // would die and libcurl would send it a second time on a fresh one.
  // A request that dies on a reused connection before any answer (the server closing it as the
  // request arrives) is sent again by libcurl on a new one. The server may have acted on it, so
  // a POST always goes out on a connection of its own, which is never retried.
  const bool post = request.verb == "POST";
  curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, request.http10 || post ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, request.http10 ? 1L : 0L);
  SetVerb(easy, request);
  exchange.headers = HeaderList(request.headers);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, exchange.headers.get());
  if (!request.userAgent.empty()) {
    curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str());
  }
  // Decode any Content-Encoding the server applies; the Accept-Encoding header stays the one the
  // caller's headers name (or none), as HeaderList arranged.
  curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_PROXY, request.proxy.c_str());
  if (!request.proxyUser.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, request.proxyUser.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str());
  }
  for (const std::string& entry : config->connectTo) Append(exchange.connectTo, entry);
  curl_easy_setopt(easy, CURLOPT_CONNECT_TO, exchange.connectTo.get());
  SetTls(easy, request, *config);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, MillisecondsOption(request.connectTimeout));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, MillisecondsOption(request.totalTimeout));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &progress);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &progress);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, &progress);

  if (useJar) exchange.loaded = LoadJarIntoHandle(easy, SharedCookieJar());
  return true;
}

TransferOutcome OutcomeOf(CURLcode code, std::string& error) {
  if (code == CURLE_OK) return TransferOutcome::kCompleted;
  error = curl_easy_strerror(code);
  return code == CURLE_OPERATION_TIMEDOUT ? TransferOutcome::kTimedOut : TransferOutcome::kFailed;
}

TransferResult FinishExchange(CURL* easy, const TransferRequest& request, CurlExchange& exchange,
                              TransferOutcome outcome) {
  TransferResult& result = exchange.result;
  result.outcome = outcome;
  if (result.outcome == TransferOutcome::kCompleted || result.outcome == TransferOutcome::kFailed ||
      result.outcome == TransferOutcome::kTimedOut) {
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    const char* effective = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective) {
      result.effectiveUrl = effective;
    }
  }
  result.headers = std::move(exchange.progress.headers);
  if (request.cookies == TransferCookies::kSharedJar &&
      result.outcome != TransferOutcome::kStopped) {
    StoreHandleCookiesInJar(easy, SharedCookieJar(), exchange.loaded);
  }
  // Nothing of this request may linger in the handle: the buffers it points at are ours.
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(easy, CURLOPT_CONNECT_TO, nullptr);
  return std::move(result);
}

TransferResult RunTransfer(const TransferRequest& request) {
  TransferResult result;
  if (request.stop.stop_requested()) {
    result.outcome = TransferOutcome::kStopped;
    return result;
  }
  ThreadCurlHandles& handles = CurrentThreadCurlHandles();
  if (!handles.valid()) return result;
  CURL* easy = request.cookies == TransferCookies::kSharedJar ? handles.jarEasy : handles.plainEasy;
  CurlExchange exchange;
  if (!PrepareExchange(easy, request, exchange)) return result;
  std::string error;
  const TransferOutcome outcome = Drive(handles.multi, easy, request, exchange.progress, error);
  exchange.result.error = std::move(error);
  return FinishExchange(easy, request, exchange, outcome);
}

}  // namespace ak
