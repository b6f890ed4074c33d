#pragma once

#include <chrono>

#include "requests/picture_fetch.h"
#include "requests/refusal_hold.h"

namespace ak {

// How a batch treats the service and the record, decided once where the batch starts and
// handed whole to the batch and its album downloaders.
struct BatchPolicy {
  // The least time between two requests to the service (0: none); the batch's pacer keeps it.
  std::chrono::milliseconds interval{0};
  // What a refusal of the service does: hold (and tell whom) or end the batch.
  RefusalPolicy refusal{};
  // The record box taken as ticked for this batch whatever it shows: a rerun fetches only the
  // photos the record store does not know, the ones that failed.
  bool recordForced = false;
  // Pictures in flight at once. Stored for the batch; every transfer is made alone for now.
  int connections = 1;
  // How long one picture (its request and the fallback together) may take.
  PictureLimits pictureLimits{};
  // Fetch nothing: record every photo whose whole picture is already in its album folder, as
  // if this batch had saved it (the command line's import).
  bool importExisting = false;
};

}  // namespace ak
