#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "net/cookie_jar.h"
#include "net/curl_transfer.h"

namespace ak {

// The pieces of one exchange that live as long as libcurl works on it: the sequential fetch
// (RunTransfer) and the transfers in flight together (TransferSet) share them.

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct Progress {
  Bytes* body = nullptr;
  std::size_t maxBody = 0;
  std::string headers;
  bool connected = false;
  std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
};

struct CurlExchange {
  Progress progress;
  Slist headers;
  Slist connectTo;
  std::vector<StoredCookie> loaded;
  TransferResult result;
};

// Sets `easy` up for `request` (the handle is reset first; the shared jar's cookies are loaded
// when the request uses it). False when libcurl refuses the address.
bool PrepareExchange(CURL* easy, const TransferRequest& request, CurlExchange& exchange);
// The outcome libcurl's code for a finished exchange means; `error` gets its text.
TransferOutcome OutcomeOf(CURLcode code, std::string& error);
// The result of an exchange that ended with `outcome`: status, address and headers read from
// the handle, the response's cookies kept in the jar, the handle's pointers into `exchange`
// dropped.
TransferResult FinishExchange(CURL* easy, const TransferRequest& request, CurlExchange& exchange,
                              TransferOutcome outcome);

}  // namespace ak
