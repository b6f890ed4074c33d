#pragma once

#include <functional>

#include "base/types.h"
#include "base/worker_gate.h"
#include "controls/controls.h"
#include "requests/request_pacer.h"

namespace ak {

// How work that sends requests to the service (a listing, a batch) meets a refusal: it holds,
// or with `endOnRefusal` (the command line's --no-wait) it ends.
struct RefusalPolicy {
  bool endOnRefusal = false;
  // Called on the worker each time the work holds after a refusal.
  std::function<void()> onHold{};
};

// The hold of one piece of work after a refusal of the service.
struct RefusalHold {
  Controls& controls;
  WorkerGate& gate;
  // The pacing of the work's requests; none when null.
  RequestPacer* pacer = nullptr;
  RefusalPolicy policy{};
  // The log lines: when it holds (why, and what to do), and when it ends instead.
  Text heldLine{};
  Text endedLine{};
  // The buttons of the held state, and of the ended state; nothing when empty.
  std::function<void()> showHeld{};
  std::function<void()> showEnded{};
  // Called each time the work holds, after the held line (the batch slows down there).
  std::function<void()> afterHeldLine{};
  // Set when a refusal ended the work.
  bool endedByRefusal = false;
  // The refusals met so far, held or ending.
  int refusals = 0;
};

// The service refused a request. Unless the work is to end on a refusal, it holds as if the
// user had pressed pause: the held state's buttons, one log line saying why and what to do, and
// the worker waits at its gate. After continue the next request waits the whole pacing
// interval. True when the work goes on and the caller must send the refused request again;
// false when it was ended (by the user, or here when it ends on refusals).
bool HoldAfterRefusal(RefusalHold& hold);

}  // namespace ak
