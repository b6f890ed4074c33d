#pragma once

#include <chrono>

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
};
BatchOutcome RunBatchDownload(Controls& controls, WorkerGate& gate, Source source,
                              const BatchOptions& options);

}  // namespace ak
