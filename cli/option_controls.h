#pragma once

#include <string>

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

// The save folder of --to as an absolute path (UTF-8), relative to the current folder.
std::string AbsoluteSaveFolder(const std::string& given);

// The program keeps its paths as GBK text, so a folder whose name has a character GBK cannot
// hold would be read and written somewhere else ('?' in place of the character). Names the
// first such folder of the run (the program's folder, the save folder); empty when there is none.
std::string FolderGbkCannotHold(const CliRequest& request, const std::string& programDir);

}  // namespace ak
