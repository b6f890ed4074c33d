#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace ak {

// How a written file takes its final name.
enum class Publish {
  kReplace,    // renamed over whatever is there (settings file, pictures)
  kNoReplace,  // linked under the name only when nothing is there yet (a new record store)
};

// When a published file reaches the disk itself.
enum class Durability {
  kSynced,  // flushed before it is published, and its folder after (settings, record stores)
  kLater,   // left to the system; the caller calls SyncFileSystemOf() before it relies on it
            // having survived a power cut (pictures: one sync per group instead of two per file)
};

// Writes `content` to a fresh temporary file in the folder of `path`, flushes it to the disk and
// publishes it under `path`, so that a reader sees either the old file (or none) or the whole new
// one, never a part. On any failure (disk full, folder read-only or gone, name taken under
// kNoReplace) the temporary file is removed, `path` is left as it was, `error` (when given)
// receives the cause and the result is false.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                         Publish publish = Publish::kReplace, std::error_code* error = nullptr,
                         Durability durability = Durability::kSynced);

// Flushes everything written to the file system that holds `folder` to the disk. False when the
// folder cannot be opened or the flush fails.
bool SyncFileSystemOf(const std::filesystem::path& folder);

// The same for a file that only its owner may read and write (cookies): mode 0600 from the moment
// the temporary file exists, whatever the replaced file allowed.
bool WriteOwnerOnlyFileAtomically(const std::filesystem::path& path, std::string_view content,
                                  std::error_code* error = nullptr);

}  // namespace ak
