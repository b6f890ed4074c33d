#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "albums/source.h"
#include "base/types.h"
#include "base/worker_gate.h"
#include "controls/controls.h"
#include "download/batch_policy.h"
#include "requests/request_pacer.h"

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

// What the batch hands each album downloader: its inputs, the same for every album.
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
  BatchPolicy policy{};
  // The batch's pacer, made from policy.interval; none (no pacing) when null.
  RequestPacer* pacer = nullptr;
  // The albums' names as the listing received them, by album address, for the metadata (the
  // rows hold the cleaned names); none when null.
  const std::map<Text, Text>* receivedNames = nullptr;
};

// What the album downloaders report back, summed over the batch, and what they keep between
// albums.
struct BatchTally {
  int savedPhotos = 0;
  // Skipped as recorded (or saved already by this batch).
  int skippedPhotos = 0;
  // Not saved: no picture came, or its file could not be written (a later run fetches them).
  int failedPhotos = 0;
  // Photos whose picture the service refused (held and sent again, or the batch ended there).
  int refusedPhotos = 0;
  // Saved, but their record could not be written (a later run fetches them again).
  int unrecordedPhotos = 0;
  // Albums with at least one failed photo, and albums that failed whole (a folder that cannot
  // be made, pages that are not the service's, photos promised and none found).
  int failedAlbums = 0;
  // Import: photos recorded from pictures already on the disk, and the files of the album
  // folders that no photo claimed.
  int importedPhotos = 0;
  int unrecognisedFiles = 0;
  // Set when a refusal ended the batch.
  bool endedByRefusal = false;
  // Set after the first refusal: the rest of the batch fetches one picture at a time.
  bool oneConnection = false;
  // The album folders this batch has written into, with the address of the album that did.
  std::map<Text, Text> albumFolders{};
  // Photos of the current album already saved by this batch (a walk of its pages that gave up
  // before its retry through the API): skipped like recorded ones.
  std::set<Text> alreadySaved{};
  // The photo count the walk of the current album's pages read before it gave up and retried
  // through the API: the album promised photos, whatever the API's total says.
  int promisedByPages = 0;
  // Said once a batch: originals need a sign-in; the service kept an original back.
  bool originalSignInLogged = false;
  bool originalFallbackLogged = false;
  // The API key (empty: none) the service refused as a key in this batch: the API albums that
  // would send it again fail without a request.
  std::optional<Text> refusedApiKey{};
  // Albums the API refused (counted in failedAlbums as well).
  int apiRefusedAlbums = 0;
};

}  // namespace ak
