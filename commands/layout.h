#pragma once

#include "controls/controls.h"

namespace ak {

// Lays the controls out for a main window `width` pixels wide: the tab control, the browser, the
// address rows and the list follow the width; no lower bound is applied. Each step reads what
// the steps before it have set.
void LayoutMainWindow(Controls& controls, int width);

}  // namespace ak
