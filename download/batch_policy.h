#pragma once

#include <algorithm>
#include <chrono>
#include <string_view>

#include "requests/picture_fetch.h"
#include "requests/refusal_hold.h"
#include "requests/request_pacer.h"

namespace ak {

// How a batch treats the service and the record, decided once where the batch starts and
// handed whole to the batch and its album downloaders.
struct BatchPolicy {
  // The least time between two requests to the service (0: none), a range each wait is drawn
  // from; the batch's pacer keeps it.
  IntervalRange interval{};
  // What a refusal of the service does: hold (and tell whom) or end the batch.
  RefusalPolicy refusal{};
  // The record box taken as ticked for this batch whatever it shows: a rerun fetches only the
  // photos the record store does not know, the ones that failed.
  bool recordForced = false;
  // Pictures of an album in flight at once (1 to kMaxConnections); one after a refusal.
  int connections = 1;
  // How long one picture (its request and the fallback together) may take.
  PictureLimits pictureLimits{};
  // Fetch nothing: record every photo whose whole picture is already in its album folder, as
  // if this batch had saved it (the command line's import).
  bool importExisting = false;
};

inline constexpr int kMaxConnections = 8;
inline constexpr int kDefaultConnections = 3;

// The connections a text of the settings (or the command line) asks for: its leading decimal
// number held to 1 to kMaxConnections; kDefaultConnections for a text without one.
inline int ConnectionCount(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty() || text.front() < '0' || text.front() > '9') return kDefaultConnections;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min(value * 10 + (c - '0'), kMaxConnections);
  }
  return std::clamp(value, 1, kMaxConnections);
}

}  // namespace ak
