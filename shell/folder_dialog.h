#pragma once

#include <functional>

#include "base/types.h"

class QWidget;

namespace ak {

// The dialog of the platform: a Qt folder dialog owned by `owner`; a FolderChooser.
Text ChooseFolderWithDialog(QWidget* owner, const Text& title, const Text& startFolder);
// The desktop's file manager; the result is not looked at.
void OpenFolderOnDesktop(const Text& folder);

// The folder the choose-folder dialog starts in: the root of the file system.
Text FileSystemRoot();

}  // namespace ak
