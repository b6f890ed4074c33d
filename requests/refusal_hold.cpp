#include "requests/refusal_hold.h"

namespace ak {

bool HoldAfterRefusal(RefusalHold& hold) {
  if (hold.gate.Stopped()) return false;
  ++hold.refusals;
  if (hold.policy.endOnRefusal) {
    hold.endedByRefusal = true;
    hold.controls.AppendLog(hold.endedLine);
    hold.gate.Stop();
    if (hold.showEnded) hold.showEnded();
    return false;
  }
  // The same state the pause command makes, the gate first: a continue pressed as soon as
  // its button shows must find the worker paused, or it would be lost.
  hold.gate.Pause();
  if (hold.showHeld) hold.showHeld();
  hold.controls.AppendLog(hold.heldLine);
  if (hold.afterHeldLine) hold.afterHeldLine();
  if (hold.policy.onHold) hold.policy.onHold();
  if (!hold.gate.Checkpoint()) return false;
  if (hold.pacer) hold.pacer->BackOff();
  return true;
}

}  // namespace ak
