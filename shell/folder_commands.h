#pragma once

#include <functional>

#include "net/types.h"

class QWidget;

namespace ak {

// Shows a folder dialog titled `title` that starts in `startFolder` (GBK); the chosen folder,
// blanks trimmed from both ends, or the empty text when the user cancels.
using FolderChooser = std::function<Text(const Text& title, const Text& startFolder)>;
// Opens a folder (GBK path) in the desktop's file manager.
using FolderOpener = std::function<void(const Text& folder)>;

// The dialog of the platform: a Qt folder dialog owned by `owner`.
Text ChooseFolderWithDialog(QWidget* owner, const Text& title, const Text& startFolder);
// The desktop's file manager; the result is not looked at.
void OpenFolderOnDesktop(const Text& folder);

// The folder the choose-folder dialog starts in: the root of the file system.
Text FileSystemRoot();

}  // namespace ak
