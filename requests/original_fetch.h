#pragma once

#include "base/types.h"
#include "base/worker_gate.h"
#include "requests/picture_fetch.h"
#include "requests/request_pacer.h"

namespace ak {

// One request for an original ("raw") picture: the address with the photo's header block (its
// Referer names the service) and the sign-in's cookies, no fallback of its own. kPicture for a
// complete 200 answer that is a picture; kEnded when the batch was ended; kNoPicture for
// anything else, a 403 included: the service keeps originals from users it does not serve them
// to, and that is no block of the batch (the caller falls back to the large picture, whose
// refusal holds as any other).
FetchedPicture FetchOriginalPicture(const Text& url, const Text& headerBlock, const Text& cookies,
                                    WorkerGate& gate, RequestPacer* pacer = nullptr);

}  // namespace ak
