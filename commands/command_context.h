#pragma once

#include <atomic>

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
};

}  // namespace ak
