#pragma once

#include "controls/control_change.h"
#include "controls/controls_state.h"
#include "shell/window_widgets.h"

namespace ak {

// Carries out one change of the model on the widgets, on the window's thread. A message box opens
// without blocking the window (modal to the program), and answers the change when closed.
void ApplyChange(const WindowWidgets& widgets, const ControlChange& change, QWidget* mainWindow);

// Puts the album list's rows of `state` into the list widget.
void ApplyRows(const WindowWidgets& widgets, const ControlsState& state);

}  // namespace ak
