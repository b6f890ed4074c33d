#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

#include "net/curl_transfer.h"

namespace ak {

struct CurlExchange;

// Several exchanges in flight at once on one thread: one libcurl multi handle, an easy handle
// per exchange (kept for the next one, with the connections the multi handle keeps open). Each
// exchange is set up exactly as RunTransfer sets it up and gives the same result; the caller
// drives them all with Run. Requesting the set's stop aborts every exchange at once (each then
// ends kStopped); the requests' own stop tokens are not looked at. Used by one thread only.
class TransferSet {
 public:
  using Id = std::uint64_t;
  using Clock = std::chrono::steady_clock;

  explicit TransferSet(std::stop_token stop = {});
  ~TransferSet();
  TransferSet(const TransferSet&) = delete;
  TransferSet& operator=(const TransferSet&) = delete;

  // Starts an exchange; its result comes from a later Run (at once when it cannot be set up).
  Id Start(TransferRequest request);

  struct Finished {
    Id id = 0;
    TransferResult result;
  };
  // Drives the exchanges in flight until one or more have ended, `until` has passed, or the stop
  // was requested, and returns those that ended. With nothing in flight it just waits (a stop
  // ends the wait at once).
  std::vector<Finished> Run(Clock::time_point until);

  std::size_t running() const { return running_.size(); }

 private:
  struct Transfer;
  Finished End(std::unique_ptr<Transfer> transfer, TransferOutcome outcome, std::string error);

  CURLM* multi_ = nullptr;
  std::vector<CURL*> spareJar_;
  std::vector<CURL*> sparePlain_;
  std::vector<std::unique_ptr<Transfer>> running_;
  std::vector<Finished> ended_;
  Id next_ = 1;
  std::stop_token stop_;
  std::optional<std::stop_callback<std::function<void()>>> wake_;
};

}  // namespace ak
