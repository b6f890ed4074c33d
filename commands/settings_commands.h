#pragma once

#include <string_view>

#include "base/types.h"
#include "controls/controls.h"

namespace ak {

// Sets the option controls from the settings file at `settingsPath` (GBK), in the fixed order;
// a missing file, section or key gives the option's default. Writes nothing.
void LoadSettings(Controls& controls, const Text& settingsPath);

// True for the controls whose click stores an option.
bool IsOptionControl(ControlName name);

// The click on an option control, after the control has taken its new state: keeps exactly one
// of the two mode boxes ticked, then writes the option to the settings file (a failed write is
// silent).
void OptionClicked(Controls& controls, ControlName name, const Text& settingsPath);

}  // namespace ak
