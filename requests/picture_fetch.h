#pragma once

#include <chrono>

#include "base/types.h"
#include "base/worker_gate.h"
#include "requests/request_pacer.h"

namespace ak {

// How long a picture may take: its first request waits up to `eachWait` to connect and for each
// piece of data, and the first request and its fallback together end within `whole`, so a
// stalled picture host holds the batch no longer than that.
struct PictureLimits {
  std::chrono::milliseconds eachWait = std::chrono::seconds(30);
  std::chrono::milliseconds whole = std::chrono::seconds(60);
};

// One picture to fetch: the address asked for first with the photo's header block, then, when
// that answer is not 200, one plain request: `on404` after a 404, `onOtherStatus` after any
// other status (0 for a transfer that failed).
struct PictureRequest {
  Text url;
  Text headerBlock;
  Text on404;
  Text onOtherStatus;
  PictureLimits limits{};
};

struct FetchedPicture {
  enum class Result {
    kPicture,    // a 200 answer whose bytes are a picture
    kNoPicture,  // the last transport did not answer 200, or answered something else
    kEnded,      // the batch was ended
    kRefused,    // the service refused the request (see net/answer_kind.h)
  };
  Result result = Result::kNoPicture;
  Bytes bytes;
  // The status of the answer that supplied the bytes (0 for a failed transfer).
  int status = 0;
  // The address of that answer, and whether it came from the second (fallback) transport.
  Text url;
  bool fallback = false;
  // No picture because the time ran out (a request's wait, or the limit of both together).
  bool timedOut = false;
};

// One attempt at the picture within its limits: first request, then the fallback.
// The gate is honoured before each request, and the pacer (when given) keeps its interval
// before each; the stop token aborts a transfer in flight. Only a complete 200 answer that
// carries a picture counts. A refused plain fallback is sent once more with the header block
// (today's picture hosts want the Referer). A refusal of the service gives kRefused (no
// fallback after a refused first request: the service refuses that one as well); anything else
// gives kNoPicture and no bytes. The send path (requests/service_send.h) holds and sends again.
FetchedPicture FetchPicture(const PictureRequest& request, WorkerGate& gate,
                            RequestPacer* pacer = nullptr);

}  // namespace ak
