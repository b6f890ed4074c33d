#pragma once

#include <functional>

#include "base/types.h"
#include "controls/controls.h"

namespace ak {

// Shows a folder dialog titled `title` that starts in `startFolder` (GBK); the chosen folder,
// blanks trimmed from both ends, or the empty text when the user cancels.
using FolderChooser = std::function<Text(const Text& title, const Text& startFolder)>;
// Opens a folder (GBK path) in the desktop's file manager.
using FolderOpener = std::function<void(const Text& folder)>;

// "选择存放位置": asks for a folder starting at `startFolder` and puts the answer into the save
// folder box; a cancelled dialog leaves the program's folder there.
void ChooseSaveFolder(Controls& controls, const FolderChooser& choose, const Text& startFolder);
// "打开目录": opens the save folder, or the program's folder while the box is empty.
void OpenSaveFolder(Controls& controls, const FolderOpener& open);

}  // namespace ak
