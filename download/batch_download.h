#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "albums/source.h"
#include "base/types.h"
#include "base/worker_gate.h"
#include "controls/controls.h"

namespace ak {

struct BatchOptions {
  // The program's folder (record stores beside it; the save root when the box is empty).
  Text programDir;
  // The wait after an empty page answer before the next attempt.
  std::chrono::milliseconds retryWait{2000};
  // The least time between two requests to the service (0: none).
  std::chrono::milliseconds interval{0};
  // A refusal of the service ends the batch instead of holding it.
  bool endOnRefusal = false;
  // Called on the worker each time the batch holds after a refusal.
  std::function<void()> onRefusalHold{};
  // The queued jobs of an earlier batch to run again instead of the ticked rows (no selection
  // report then), and the record box taken as ticked for this run whatever it shows: a rerun
  // fetches only the photos the record store does not know, the ones that failed.
  std::optional<std::vector<Text>> jobs{};
  bool recordForced = false;
};

// The download batch, run on the batch worker: collects the ticked rows of the album list, reports
// the selection, downloads the albums one by one (by pages while the browse-mode box is ticked at
// the album's start, else through the API), then restores the buttons, fills the progress bar,
// writes the closing line and waits for the user to close the message "全部下载完毕".
// `source` is the batch's own copy of the current source. When the gate is stopped the batch ends
// at its next safe point and writes and shows nothing more.
// The result counts the photos of the batch's finished albums that were not saved.
struct BatchOutcome {
  bool completed = false;  // false when the batch was ended
  int failedPhotos = 0;
  bool endedByRefusal = false;  // ended because the service refused it
  std::vector<Text> jobs;       // the queued jobs it ran (or began to run)
};
BatchOutcome RunBatchDownload(Controls& controls, WorkerGate& gate, Source source,
                              const BatchOptions& options);

}  // namespace ak
