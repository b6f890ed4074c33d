#pragma once

namespace ak {

// Opens the main window (or, with "--screenshot FILE [--page N]", saves a picture of it) and
// returns the exit status; 2 with usage for arguments the window does not take.
int RunWindow(int argc, char** argv);

}  // namespace ak
