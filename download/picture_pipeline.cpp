#include "download/picture_pipeline.h"

#include <algorithm>
#include <cassert>

namespace ak {
namespace {

using Clock = TransferSet::Clock;

// The longest the pipeline waits before it looks at the gate again.
constexpr std::chrono::milliseconds kLongestWait{1000};
// Pictures that arrived ahead of an earlier one wait in memory for their turn; beyond this many
// photos queued nothing new starts.
constexpr std::size_t kQueuedPerConnection = 4;

}  // namespace

PicturePipeline::PicturePipeline(WorkerGate& gate, RefusalHold& hold, RequestPacer* pacer,
                                 std::function<int()> connections,
                                 std::function<void(int)> onRefused)
    : gate_(gate),
      hold_(hold),
      pacer_(pacer),
      connections_(std::move(connections)),
      onRefused_(std::move(onRefused)),
      set_(gate.StopToken()) {}

std::size_t PicturePipeline::Active() const {
  return static_cast<std::size_t>(std::count_if(
      queue_.begin(), queue_.end(), [](const Entry& e) { return e.state != State::kDone; }));
}

bool PicturePipeline::Submit(Photo photo) {
  Entry entry;
  if (photo.request) {
    entry.exchange.emplace(*photo.request);
  } else {
    entry.state = State::kDone;
  }
  entry.photo = std::move(photo);
  queue_.push_back(std::move(entry));
  // What may go goes at once; the transfers run while the pipeline is driven.
  if (!gate_.Stopped()) {
    Clock::time_point unused = Clock::now();
    StartWhatMay(unused);
  }
  return Pump([this] {
    const auto limit = static_cast<std::size_t>(std::max(connections_(), 1));
    return Active() < limit && queue_.size() < limit * kQueuedPerConnection;
  });
}

bool PicturePipeline::Drain() {
  return Pump([this] { return queue_.empty(); });
}

bool PicturePipeline::Pump(const std::function<bool()>& enough) {
  for (;;) {
    // Ended: the transfers under way are aborted with the set's stop; nothing more is saved.
    if (gate_.Stopped()) {
      set_.Run(Clock::now());
      ConcludeDoneAndDrop();
      return false;
    }
    ConcludeReady();
    if (enough()) return true;
    if (set_.running() == 0) {
      if (refusalPending_) {
        if (!HoldForRefusal()) return false;
        continue;
      }
      // Paused, and every transfer under way has ended and its photo is saved: hold here.
      if (gate_.Paused()) {
        gate_.Checkpoint();
        continue;
      }
    }
    Clock::time_point wakeAt = Clock::now() + kLongestWait;
    StartWhatMay(wakeAt);
    for (TransferSet::Finished& finished : set_.Run(wakeAt)) Take(finished);
  }
}

void PicturePipeline::ConcludeReady() {
  while (!queue_.empty() && queue_.front().state == State::kDone &&
         queue_.front().picture.result != FetchedPicture::Result::kEnded) {
    Entry entry = std::move(queue_.front());
    queue_.pop_front();
    entry.photo.conclude(entry.picture);
  }
}

void PicturePipeline::ConcludeDoneAndDrop() {
  for (Entry& entry : queue_) {
    if (entry.state == State::kDone && entry.picture.result != FetchedPicture::Result::kEnded) {
      entry.photo.conclude(entry.picture);
    }
  }
  queue_.clear();
}

void PicturePipeline::StartWhatMay(Clock::time_point& wakeAt) {
  if (refusalPending_) return;
  const auto limit = static_cast<std::size_t>(std::max(connections_(), 1));
  for (Entry& entry : queue_) {
    if (set_.running() >= limit) return;
    if (entry.state != State::kWaiting) continue;
    // A picture under way may make its fallback request during a pause; a new one may not.
    if (!entry.exchange->inFallback() && gate_.Paused()) return;
    if (pacer_ != nullptr) {
      const Clock::time_point due = pacer_->Due();
      if (due > Clock::now()) {
        wakeAt = std::min(wakeAt, due);
        return;
      }
      pacer_->Take();
    }
    entry.transfer = set_.Start(entry.exchange->Transfer());
    entry.state = State::kRunning;
  }
}

void PicturePipeline::Take(TransferSet::Finished& finished) {
  const auto at = std::find_if(queue_.begin(), queue_.end(), [&](const Entry& entry) {
    return entry.state == State::kRunning && entry.transfer == finished.id;
  });
  assert(at != queue_.end());
  if (at == queue_.end()) return;
  Entry& entry = *at;
  if (!entry.exchange->Take(std::move(finished.result))) {
    entry.state = State::kWaiting;  // the fallback's turn
    return;
  }
  if (entry.exchange->picture().result == FetchedPicture::Result::kRefused) {
    // Asked for again, from its first request, after the hold.
    entry.refused = true;
    entry.exchange.emplace(*entry.photo.request);
    entry.state = State::kWaiting;
    refusalPending_ = true;
    return;
  }
  entry.picture = std::move(entry.exchange->picture());
  entry.exchange.reset();
  entry.state = State::kDone;
  if (entry.picture.result == FetchedPicture::Result::kPicture && entry.photo.save) {
    entry.photo.save(entry.picture);
    entry.picture.bytes = Bytes();
  }
}

bool PicturePipeline::HoldForRefusal() {
  int refused = 0;
  for (Entry& entry : queue_) {
    if (!entry.refused) continue;
    entry.refused = false;
    ++refused;
  }
  if (onRefused_) onRefused_(refused);
  refusalPending_ = false;
  if (HoldAfterRefusal(hold_)) return true;
  ConcludeDoneAndDrop();
  return false;
}

}  // namespace ak
