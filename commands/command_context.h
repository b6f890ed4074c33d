#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "albums/album_pages.h"
#include "albums/album_search.h"
#include "albums/listing_requests.h"
#include "albums/source.h"
#include "base/worker_slot.h"
#include "controls/controls.h"
#include "download/batch_download.h"

namespace ak {

// A value written by one thread and read by others.
template <class T>
class Guarded {
 public:
  void Set(T value) {
    std::lock_guard lock(mutex_);
    value_ = std::move(value);
  }
  T Get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};

// The last batch: what it did, and the source it ran with (for a rerun of what failed).
struct LastBatch {
  // False until a batch has ended.
  bool ran = false;
  BatchOutcome outcome;
  Source source;
};

// What the commands share while the program runs: the controls they read and write, the source
// the last listing accepted, one worker slot each for the album listing and the download batch,
// and where the album search stands. The window and the command line each own one.
struct CommandContext {
  explicit CommandContext(Controls& c) : controls(c) {}
  Controls& controls;
  CurrentSource source;
  WorkerSlot listing;
  WorkerSlot batch;
  AlbumSearchState search;
  // How a refusal of the service is met, by a listing and by a batch alike: it holds until
  // continue or end, or with `endOnRefusal` (the command line's --no-wait) it ends. Set before
  // the commands. The callbacks run on the worker each time it holds.
  bool endOnRefusal = false;
  std::function<void()> onRefusalHold;
  std::function<void()> onListingRefusalHold;
  // Set while a listing holds after a refusal: continue and end then act on it.
  std::atomic<bool> listingHeld{false};
  // The last listing's and the last batch's outcomes, written by their workers as they end.
  Guarded<ListingOutcome> lastListing;
  Guarded<LastBatch> lastBatch;
  // The entries behind the last listing's rows, one per row (cover address, photo count).
  Guarded<std::vector<AlbumEntry>> listedEntries;
};

}  // namespace ak
