#include "download/ensure_folder.h"

#include <filesystem>
#include <system_error>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

// True when the last character of the GBK path is a folder separator. Only a whole character
// counts: the second byte of a double-byte character may have the backslash's code (0x5C), and
// that is part of a name. The backslash separates folders only on Windows.
bool EndsInSeparator(const Text& path) {
  std::size_t last = 0;
  for (std::size_t at = 0; at < path.size(); at += IsGbkLead(path[at]) ? 2 : 1) last = at;
  if (path.empty() || last != path.size() - 1) return false;
#ifdef _WIN32
  return path[last] == '/' || path[last] == '\\';
#else
  return path[last] == '/';
#endif
}

}  // namespace

bool EnsureFolder(Text& path, std::error_code* error) {
  if (!EndsInSeparator(path)) path += '/';
  const std::filesystem::path native(GbkToUtf8(path));
  std::error_code made;
  std::filesystem::create_directories(native, made);
  std::error_code checked;
  if (std::filesystem::is_directory(native, checked)) return true;
  if (error) *error = made ? made : std::make_error_code(std::errc::not_a_directory);
  return false;
}

}  // namespace ak
