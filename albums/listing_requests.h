#pragma once

#include <optional>

#include "albums/listing_io.h"
#include "base/types.h"
#include "base/worker_gate.h"
#include "controls/controls.h"
#include "requests/refusal_hold.h"
#include "requests/service_send.h"

namespace ak {

// How a listing ended.
struct ListingOutcome {
  // The rows in the list when it ended.
  int rows = 0;
  // It stopped before its end: by the user, or by a refusal under end-on-refusal.
  bool ended = false;
  // A refusal of the service ended it.
  bool endedByRefusal = false;
};

// The hold of a listing after a refusal of the service. The listing has no buttons of its own:
// it holds with the download area's continue and end buttons shown (the download and pause
// buttons hidden, so no batch starts over a half-filled list), and one log line says why and
// what to do. Continue sends the refused request again; end stops the listing.
RefusalHold ListingHold(Controls& controls, WorkerGate& gate, RefusalPolicy policy);

// One page of the listing (the home page, an album-list page, an album page) through the one
// send path, with `io` as its transport. Nothing when the listing was ended.
std::optional<ServiceSender::Page> SendListingPage(RefusalHold& hold, ListingIo& io,
                                                   const Text& url);

}  // namespace ak
