#pragma once

#include "controls/controls_state.h"

namespace ak {

// Whatever shows the controls: the Qt main window or the headless view. The model calls it from
// any thread; a view with a thread of its own hands the work over to that thread.
class ControlsView {
 public:
  virtual ~ControlsView() = default;
  // Called once when attached, with the model's state at that moment, under the model's lock:
  // the view copies what it needs and must not call back into the model here.
  virtual void Attached(const ControlsState& state) = 0;
  // Called after changes were queued (not under the model's lock). The view takes them with
  // Controls::TakeChanges, from whichever thread it likes, and carries them out in that order.
  virtual void ChangesPending() = 0;
};

}  // namespace ak
