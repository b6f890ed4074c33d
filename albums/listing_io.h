#pragma once

#include <stop_token>

#include "base/types.h"
#include "net/answer_kind.h"

namespace ak {

// The listing's contact with the outside world: page fetches, cover fetches and its one pause.
// The program uses the service's (ServiceListingIo); a benchmark can wrap it to time the network
// apart from the listing's own work.
class ListingIo {
 public:
  virtual ~ListingIo() = default;
  // The body of a plain page GET (HttpFetch with its defaults); empty on any failure.
  virtual Bytes FetchPage(const Text& url, std::stop_token stop) = 0;
  // The same fetch as the judge of the service's answers sees it (status, where redirects led):
  // what the listing sends. By default FetchPage's body taken as a complete 200 answer, or as
  // no answer when it is empty.
  virtual ServiceAnswer FetchPageAnswer(const Text& url, std::stop_token stop);
  // The body of a cover picture (PlainHttpGet), whatever the status; empty on failure. The
  // service's picture hosts refuse requests without its Referer: a 403 is asked once more with
  // the album-list page `listPage` (the page the covers were found on) as the Referer.
  virtual Bytes FetchCover(const Text& url, const Text& listPage, std::stop_token stop) = 0;
  // Waits, returning early when `stop` is requested.
  virtual void Pause(int milliseconds, std::stop_token stop) = 0;
};

// Fetches through HttpFetch and PlainHttpGet and waits with PumpingDelay.
ListingIo& ServiceListingIo();

}  // namespace ak
