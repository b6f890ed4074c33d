#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "albums/album_search.h"
#include "albums/source.h"
#include "base/worker_slot.h"
#include "controls/controls.h"

namespace ak {

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
  // Photos the last batch could not save (0 until a batch has run).
  std::atomic<int> lastBatchFailedPhotos{0};
  // Whether a refusal of the service ended the last batch.
  std::atomic<bool> lastBatchEndedByRefusal{false};
  // A refusal of the service ends the batch instead of holding it (the command line's
  // --no-wait). Set before the download command.
  bool endBatchOnRefusal = false;
  // Called on the batch's worker each time the batch holds after a refusal.
  std::function<void()> onRefusalHold;
  // The last batch's queued jobs and the source it ran with, for a rerun of what failed; under
  // lastBatchMutex (the batch's worker writes them).
  std::mutex lastBatchMutex;
  std::vector<Text> lastBatchJobs;
  Source lastBatchSource;
};

}  // namespace ak
