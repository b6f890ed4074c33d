#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <vector>

#include "albums/source.h"
#include "base/types.h"
#include "base/worker_gate.h"
#include "controls/controls.h"
#include "download/batch_policy.h"

namespace ak {

// The inputs of one batch.
struct BatchOptions {
  // The program's folder (record stores beside it; the save root when the box is empty).
  Text programDir;
  // The wait after an empty page answer before the next attempt.
  std::chrono::milliseconds retryWait{2000};
  BatchPolicy policy{};
  // The queued jobs of an earlier batch to run again instead of the ticked rows (no selection
  // report then); a rerun of what failed comes with policy.recordForced.
  std::optional<std::vector<Text>> jobs{};
  // The albums' names as the listing received them, by album address (for album.json).
  std::map<Text, Text> receivedNames{};
};

// How a batch ended.
enum class BatchEnd {
  kCompleted,       // every album done, the closing texts written
  kEndedByUser,     // the end command (or Ctrl-C)
  kEndedByRefusal,  // the service refused and the policy ends the batch on a refusal
};

// What a batch did.
struct BatchOutcome {
  // Photos saved, skipped as recorded, not saved (of the finished albums), and refused (held
  // and sent again, or where the batch ended).
  int saved = 0;
  int skipped = 0;
  int failed = 0;
  int refused = 0;
  // Saved, but their record could not be written (a later run fetches them again).
  int unrecorded = 0;
  // Import: photos recorded from pictures on the disk, files no photo claimed.
  int imported = 0;
  int unrecognised = 0;
  // Albums with at least one photo not saved, and albums that failed whole (their folder could
  // not be made, their pages were not the service's, or they promised photos and showed none).
  int failedAlbums = 0;
  BatchEnd end = BatchEnd::kEndedByUser;
  // The queued jobs it ran (or began to run), for a rerun of what failed.
  std::vector<Text> jobs;

  bool completed() const { return end == BatchEnd::kCompleted; }
  bool endedByRefusal() const { return end == BatchEnd::kEndedByRefusal; }
};

// The download batch, run on the batch worker: collects the ticked rows of the album list, reports
// the selection, downloads the albums one by one (by pages while the browse-mode box is ticked at
// the album's start, else through the API), then restores the buttons, fills the progress bar,
// writes the closing line and waits for the user to close the message "全部下载完毕".
// `source` is the batch's own copy of the current source. When the gate is stopped the batch ends
// at its next safe point and writes and shows nothing more.
BatchOutcome RunBatchDownload(Controls& controls, WorkerGate& gate, Source source,
                              const BatchOptions& options);

}  // namespace ak
