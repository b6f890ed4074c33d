#include "net/transfer_set.h"

#include <algorithm>

#include "net/curl_exchange.h"
#include "net/curl_global.h"

namespace ak {
namespace {

// The longest one wait for the network lasts before the clocks are looked at again.
constexpr long long kLongestPollMs = 1000;

}  // namespace

struct TransferSet::Transfer {
  Id id = 0;
  TransferRequest request;
  CurlExchange exchange;
  CURL* easy = nullptr;
};

TransferSet::TransferSet(std::stop_token stop) : stop_(std::move(stop)) {
  EnsureCurlGlobalInit();
  multi_ = curl_multi_init();
  if (multi_ != nullptr) {
    CURLM* multi = multi_;
    wake_.emplace(stop_, std::function<void()>([multi] { curl_multi_wakeup(multi); }));
  }
}

TransferSet::~TransferSet() {
  wake_.reset();
  for (std::unique_ptr<Transfer>& transfer : running_) {
    curl_multi_remove_handle(multi_, transfer->easy);
    curl_easy_cleanup(transfer->easy);
  }
  for (CURL* easy : spareJar_) curl_easy_cleanup(easy);
  for (CURL* easy : sparePlain_) curl_easy_cleanup(easy);
  if (multi_ != nullptr) curl_multi_cleanup(multi_);
}

TransferSet::Id TransferSet::Start(TransferRequest request) {
  auto transfer = std::make_unique<Transfer>();
  transfer->id = next_++;
  transfer->request = std::move(request);
  const Id id = transfer->id;
  if (stop_.stop_requested()) {
    ended_.push_back({id, {}});
    ended_.back().result.outcome = TransferOutcome::kStopped;
    return id;
  }
  // libcurl's cookie engine, once on in a handle, stays on: a handle that used the jar never
  // serves an exchange that must see no cookie.
  std::vector<CURL*>& spare =
      transfer->request.cookies == TransferCookies::kSharedJar ? spareJar_ : sparePlain_;
  if (!spare.empty()) {
    transfer->easy = spare.back();
    spare.pop_back();
  } else {
    transfer->easy = curl_easy_init();
  }
  if (multi_ == nullptr || transfer->easy == nullptr ||
      !PrepareExchange(transfer->easy, transfer->request, transfer->exchange) ||
      curl_multi_add_handle(multi_, transfer->easy) != CURLM_OK) {
    if (transfer->easy != nullptr) spare.push_back(transfer->easy);
    ended_.push_back({id, {}});  // kRejected
    return id;
  }
  running_.push_back(std::move(transfer));
  return id;
}

TransferSet::Finished TransferSet::End(std::unique_ptr<Transfer> transfer, TransferOutcome outcome,
                                       std::string error) {
  curl_multi_remove_handle(multi_, transfer->easy);
  transfer->exchange.result.error = std::move(error);
  Finished finished{transfer->id,
                    FinishExchange(transfer->easy, transfer->request, transfer->exchange, outcome)};
  (transfer->request.cookies == TransferCookies::kSharedJar ? spareJar_ : sparePlain_)
      .push_back(transfer->easy);
  return finished;
}

std::vector<TransferSet::Finished> TransferSet::Run(Clock::time_point until) {
  std::vector<Finished> finished = std::move(ended_);
  ended_.clear();
  for (;;) {
    if (stop_.stop_requested()) {
      for (std::unique_ptr<Transfer>& transfer : running_) {
        finished.push_back(End(std::move(transfer), TransferOutcome::kStopped, {}));
      }
      running_.clear();
      return finished;
    }
    if (!running_.empty()) {
      int stillRunning = 0;
      curl_multi_perform(multi_, &stillRunning);
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        const auto at = std::find_if(running_.begin(), running_.end(), [&](const auto& transfer) {
          return transfer->easy == message->easy_handle;
        });
        if (at == running_.end()) continue;
        std::string error;
        const TransferOutcome outcome = OutcomeOf(message->data.result, error);
        std::unique_ptr<Transfer> done = std::move(*at);
        running_.erase(at);
        finished.push_back(End(std::move(done), outcome, std::move(error)));
      }
    }
    // The idle time-out of each exchange, as the sequential fetch keeps it.
    const Clock::time_point now = Clock::now();
    Clock::time_point wakeAt = std::min(until, now + std::chrono::milliseconds(kLongestPollMs));
    for (auto at = running_.begin(); at != running_.end();) {
      const Transfer& transfer = **at;
      const Progress& progress = transfer.exchange.progress;
      if (transfer.request.idleTimeout.count() > 0 && progress.connected) {
        const Clock::time_point due = progress.lastActivity + transfer.request.idleTimeout;
        if (due <= now) {
          std::unique_ptr<Transfer> late = std::move(*at);
          at = running_.erase(at);
          finished.push_back(
              End(std::move(late), TransferOutcome::kTimedOut, "no data within the time-out"));
          continue;
        }
        wakeAt = std::min(wakeAt, due);
      }
      ++at;
    }
    if (!finished.empty() || now >= until || multi_ == nullptr) return finished;
    const auto waitMs = std::chrono::ceil<std::chrono::milliseconds>(wakeAt - now).count();
    curl_multi_poll(multi_, nullptr, 0, static_cast<int>(std::max<long long>(waitMs, 0)), nullptr);
  }
}

}  // namespace ak
