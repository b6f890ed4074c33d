#pragma once

#include "controls/controls.h"

namespace ak {

// The download buttons of each batch state. The pause command and a batch that holds because
// the service refused it show the same buttons, so both go through ShowHeldButtons().
// Idle: download alone.
void ShowIdleButtons(Controls& controls);
// Running, as the download command starts it: pause and end.
void ShowRunningButtons(Controls& controls);
// Held: continue (end stays as it was, shown while a batch runs).
void ShowHeldButtons(Controls& controls);
// Running again after continue: pause (end stays).
void ShowContinuedButtons(Controls& controls);

}  // namespace ak
