#pragma once

#include "base/types.h"
#include "cli/cli_request.h"
#include "controls/controls.h"

namespace ak {

// Sets the controls the window would have at start-up for a command-line run: the options from
// the settings file in `programDir` (read only, never written) and the program's folder as the
// save folder.
void LoadStartupControls(Controls& controls, const Text& programDir);

// Makes the folder of the download record stores in `programDir`, as the window does at start.
void EnsureRecordFolder(const Text& programDir);

// Sets the control of every option the request names: browse or API mode, medium or large
// pictures, the record box, the description box, the pattern box, the save folder, the cover
// box (ticked only by --covers, as a terminal shows no pictures); the address goes into the album
// page's address box. Options not given are left alone.
void ApplyRequest(Controls& controls, const CliRequest& request);

}  // namespace ak
