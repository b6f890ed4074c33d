#include "commands/settings.h"

#include <filesystem>
#include <string_view>

#include "base/codec.h"
#include "base/profile_io.h"

namespace ak {
namespace {

// The text up to its first NUL (where a C string ends) without its leading bytes of code 32 or
// less. The NUL is cut first: it is a control byte too, and skipping it would bring back what
// stands after the end of the text.
Text SkipLeadingControls(const Text& text) {
  const std::string_view s = std::string_view(text).substr(0, text.find('\0'));
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= 32) ++i;
  return Text(s.substr(i));
}

std::filesystem::path NativePath(const Text& gbk_path) {
  return std::filesystem::path(GbkToUtf8(gbk_path.substr(0, gbk_path.find('\0'))));
}

}  // namespace

const Text& SettingsFileName() { return AK_GBK("peizi.ini"); }

Text SettingsFilePath(const Text& program_dir) { return program_dir + "/" + SettingsFileName(); }

Text ReadSetting(const Text& path, const Text& section, const Text& key,
                 const Text& default_value) {
  const Text p = SkipLeadingControls(path);
  const Text s = SkipLeadingControls(section);
  const Text k = SkipLeadingControls(key);
  if (p.empty() || s.empty() || k.empty()) return Text();
  return ReadProfileString(NativePath(p), s, k, default_value);
}

bool WriteSetting(const Text& path, const Text& section, const Text& key, const Text& value) {
  if (path.empty() || path.front() == '\0') return false;
  return WriteProfileString(NativePath(path), section, key, value);
}

}  // namespace ak
