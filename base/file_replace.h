#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace ak {

enum class FileReadStatus { kRead, kMissing, kFailed };

struct FileReadResult {
  FileReadStatus status = FileReadStatus::kFailed;
  std::string bytes;
};

// Reads a whole file. kMissing when nothing exists at `path`; kFailed when it cannot be read or
// holds more than `max_bytes` bytes (so a stray huge file never becomes one huge allocation).
FileReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t max_bytes);

// True when an existing file may be replaced: writable for this process and not marked
// read-only (no write permission bit at all, which even an administrator respects here).
bool IsReplaceable(const std::filesystem::path& path);

// Replaces (or creates) `path` with `content` so that a reader sees either the old content or
// the new, never a half-written file: the content goes to a fresh file beside it, is flushed to
// the disk and renamed over the old one. On any failure the temporary file is removed, the old
// file is untouched and the result is false.
bool ReplaceFileContent(const std::filesystem::path& path, std::string_view content);

}  // namespace ak
