#include "base/profile_io.h"

#include <string_view>

#include "base/file_replace.h"
#include "base/profile_file.h"
#include "base/profile_text.h"

namespace ak {
namespace {

// The profile functions take C strings: a text ends at its first NUL byte.
std::string_view AsCString(const Text& text) {
  return std::string_view(text).substr(0, text.find('\0'));
}

Text Finish(std::string_view value) {
  return Text(profile::CutWhole(value, kProfileReadBuffer - 1));
}

}  // namespace

Text ReadProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                       const Text& default_value) {
  std::string_view fallback = AsCString(default_value);
  while (!fallback.empty() && profile::IsBlank(fallback.back())) fallback.remove_suffix(1);

  const FileReadResult file = ReadWholeFile(path, kProfileFileMax);
  if (file.status != FileReadStatus::kRead) return Finish(fallback);
  const std::optional<Text> value = ProfileLookup(file.bytes, AsCString(section), AsCString(key));
  return value ? Finish(*value) : Finish(fallback);
}

bool WriteProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                        const Text& value) {
  if (!IsReplaceable(path)) return false;
  const FileReadResult file = ReadWholeFile(path, kProfileFileMax);
  if (file.status == FileReadStatus::kFailed) return false;
  const std::optional<Text> updated =
      ProfileUpdate(file.bytes, AsCString(section), AsCString(key), AsCString(value));
  if (!updated) return false;
  if (file.status == FileReadStatus::kRead && *updated == file.bytes) return true;
  return ReplaceFileContent(path, *updated);
}

}  // namespace ak
