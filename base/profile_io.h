#pragma once

#include <cstddef>
#include <filesystem>

#include "base/types.h"

namespace ak {

// Size of the buffer a profile read fills, the terminating NUL included: a value comes back cut
// to one byte less.
inline constexpr std::size_t kProfileReadBuffer = 10240;

// A profile file larger than this is treated as unreadable, and is never rewritten.
inline constexpr std::size_t kProfileFileMax = 16u << 20;

// Reads `key` of `section` from the profile file at `path`. A missing or unreadable file, section
// or key gives `default_value` with its trailing blanks dropped. The result is cut to
// kProfileReadBuffer - 1 bytes, never in the middle of a double-byte character.
Text ReadProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                       const Text& default_value);

// Sets `key` of `section` in the profile file at `path` to `value`, creating the file when it
// does not exist. The file is replaced as a whole through a temporary file, so a failed write
// leaves the old file. False when nothing was written: the file is read-only, unreadable or too
// large, the folder is not writable, the disk is full, or the texts cannot be stored.
bool WriteProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                        const Text& value);

}  // namespace ak
