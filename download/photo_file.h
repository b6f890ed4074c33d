#pragma once

#include <string>
#include <string_view>

#include "base/types.h"

namespace ak {

// The file name of a photo: running number + "_" + description part + "_.jpg" (GBK), the
// description part cut so that the name fits the file system's limit (FitName).
Text PhotoFileName(int runningNumber, std::string_view descriptionPart);
// The short name used when the long one cannot be written: running number + "_.jpg".
Text ShortPhotoFileName(int runningNumber);

// True when `name` (GBK) names a file inside its folder: not empty, not "." or "..", and without
// a folder separator or a NUL byte (a double-byte character's trail byte is part of the name).
bool IsPlainFileName(std::string_view name);

struct SavedPhoto {
  bool saved = false;
  Text fileName;      // the name it was saved under, or the last name tried
  std::string error;  // why the last write failed (UTF-8, from the system)
};

// Writes the picture into `folder` (GBK, ending in a separator) under its long name and, when that
// fails (a name the file system refuses, too long, ...), under its short name. Each write goes
// through a temporary file in the folder that is renamed into place, so a final name never holds
// part of a picture. The file is not flushed to the disk one by one: the caller syncs the folder's
// file system before it records the photo (SyncFileSystemOf). A long name that is not a plain file
// name is not tried.
SavedPhoto SavePhotoFile(const Text& folder, int runningNumber, std::string_view descriptionPart,
                         std::string_view bytes);

}  // namespace ak
