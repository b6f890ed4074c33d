#include "shell/ensure_folder.h"

#include <filesystem>
#include <system_error>

#include "net/codec.h"

namespace ak {

bool EnsureFolder(Text& path) {
  // Both separators count as already there, so a path given in either form is not doubled.
  if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
  const std::filesystem::path native(GbkToUtf8(path));
  std::error_code error;
  std::filesystem::create_directories(native, error);
  return std::filesystem::is_directory(native, error);
}

}  // namespace ak
