#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string_view>

#include "albums/source.h"
#include "base/types.h"
#include "base/worker_gate.h"
#include "controls/controls.h"
#include "download/request_pacer.h"

namespace ak {

// One queued album: the count slot ("0" when queued, the album's photo count once known), the
// album page address and the album name. The downloaders change all three: the count slot gets
// the count, the API downloader reduces the address to the album number, and the name becomes
// the album's folder name.
struct AlbumJob {
  Text countSlot;
  Text address;
  Text name;
};

// The queued form of a job: the three fields joined by "--@@--".
inline constexpr std::string_view kAlbumJobSeparator = "--@@--";
Text JoinAlbumJob(const AlbumJob& job);
// Splits at the first two separators only, so a name holding the separator arrives whole.
AlbumJob SplitAlbumJob(std::string_view queued);

// What the batch hands each album downloader.
struct AlbumDownloadEnv {
  Controls& controls;
  WorkerGate& gate;
  // The batch's copy of the source taken when it started: its id names the record store, its
  // title (cleaned at every album) the folder level above the album folders.
  Source& source;
  // The program's folder: the record stores live beside it, and it is the save root while the
  // save-location box is empty.
  Text programDir;
  // The wait after an empty page answer before the next attempt.
  std::chrono::milliseconds retryWait{2000};
  // The album folders this batch has written into, with the address of the album that did.
  std::map<Text, Text> albumFolders{};
  // Photos of the finished albums that were not saved (a later run fetches them again).
  int failedPhotos = 0;
  // The pacing of the batch's requests to the service; none when null.
  RequestPacer* pacer = nullptr;
  // When the service refuses a request: false holds the batch as the pause command does, until
  // continue (which retries that request) or end; true ends the batch.
  bool endOnRefusal = false;
  // Called on the worker each time the batch holds after a refusal.
  std::function<void()> onRefusalHold{};
  // Set when a refusal ended the batch.
  bool endedByRefusal = false;
  // The record box counts as ticked for this batch (a rerun of what failed).
  bool recordForced = false;
  // Photos of the current album already saved by this batch (a walk of its pages that gave up
  // before its retry through the API): skipped like recorded ones.
  std::set<Text> alreadySaved{};
};

}  // namespace ak
