#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

#include "base/types.h"
#include "base/worker_gate.h"
#include "net/transfer_set.h"
#include "requests/picture_exchange.h"
#include "requests/refusal_hold.h"
#include "requests/request_pacer.h"

namespace ak {

// The pictures of one album in flight over several connections, on the batch's worker thread.
// Photos are handed in in running order; each is fetched as alone (the same first request and
// fallback), up to `connections` at once, and handed back to `conclude` in the order they came
// in, whatever order their answers arrive in. So names, progress, the record and the log come out
// as with one connection; with one connection the requests go exactly one after another.
//
// Pause starts no new picture: the transfers under way finish and are saved, then the batch
// holds. End aborts every transfer at once; the photos already done are concluded (out of
// order if need be), the others are dropped. A refusal on any transfer
// starts nothing new; once the others have ended the batch holds once (RefusalHold) and, after
// continue, every refused picture is asked for again.
class PicturePipeline {
 public:
  struct Photo {
    // Nothing to fetch (recorded before, or no size chosen): concluded in its turn as it is.
    std::optional<PictureRequest> request;
    // Called as soon as its picture has come, in whatever order the pictures come (the bytes
    // are let go after it): the caller saves the file.
    std::function<void(FetchedPicture&)> save;
    // Called in running order once the photo is done (saved, failed or skipped): the caller
    // counts it, shows it and records it.
    std::function<void(const FetchedPicture&)> conclude;
  };

  // `connections()` is asked before each start: the batch may go down to one.
  PicturePipeline(WorkerGate& gate, RefusalHold& hold, RequestPacer* pacer,
                  std::function<int()> connections, std::function<void(int)> onRefused);

  // Queues a photo and drives the transfers until there is room for the next one. False when
  // the batch was ended.
  bool Submit(Photo photo);
  // Drives until every photo handed in is concluded. False when the batch was ended.
  bool Drain();

 private:
  enum class State { kWaiting, kRunning, kDone };
  struct Entry {
    Photo photo;
    State state = State::kWaiting;
    std::optional<PictureExchange> exchange;
    TransferSet::Id transfer = 0;
    bool refused = false;
    FetchedPicture picture;
  };

  bool Pump(const std::function<bool()>& enough);
  void ConcludeReady();
  // The batch was ended: the photos done are concluded, every other is dropped.
  void ConcludeDoneAndDrop();
  // Starts what may start now; `wakeAt` is lowered to when the pacer lets the next one go.
  void StartWhatMay(TransferSet::Clock::time_point& wakeAt);
  void Take(TransferSet::Finished& finished);
  bool HoldForRefusal();
  std::size_t Active() const;

  WorkerGate& gate_;
  RefusalHold& hold_;
  RequestPacer* pacer_;
  std::function<int()> connections_;
  std::function<void(int)> onRefused_;
  TransferSet set_;
  std::deque<Entry> queue_;
  bool refusalPending_ = false;
};

}  // namespace ak
