#pragma once

#include <span>

#include "controls/control_names.h"

namespace ak {

class MainWindow;

// What a click on a control of the window runs.
using ClickCommand = void (*)(MainWindow& window);

struct ClickBinding {
  ControlName control;
  ClickCommand command;
};

// Every button, check box and clickable label whose click runs a command, with its command: the
// one place where a click meets what it does. The option boxes store themselves besides
// (settings), and the toolbar, the pages and the list's tick boxes report their index or row.
std::span<const ClickBinding> ClickBindings();

// The command bound to `control`; null when a click on it runs none.
ClickCommand ClickCommandOf(std::string_view control);

}  // namespace ak
