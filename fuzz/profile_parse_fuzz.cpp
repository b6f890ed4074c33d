// Feeds the profile rules a file's content and a section, key and value taken from the input:
// "section \x01 key \x01 value \x00 content". A value written must read back (without its outer
// blanks), and no other key may change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/profile_file.h"
#include "base/profile_text.h"

namespace {

std::string_view NextPart(std::string_view& rest, char separator) {
  const std::size_t at = rest.find(separator);
  const std::string_view part = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view names = NextPart(input, '\0');
  const std::string_view content = input;
  const std::string_view section = NextPart(names, '\x01');
  const std::string_view key = NextPart(names, '\x01');
  const std::string_view value = names;

  (void)ak::ProfileLookup(content, section, key);
  const std::optional<ak::Text> updated = ak::ProfileUpdate(content, section, key, value);
  if (!updated) return 0;

  const std::optional<ak::Text> read = ak::ProfileLookup(*updated, section, key);
  if (!read || *read != ak::profile::TrimBlanks(value)) abort();

  // Other keys of the same section and of another section are untouched.
  for (const char* other_key : {"zz", "a"}) {
    if (ak::profile::EqualsIgnoringAsciiCase(ak::profile::TrimBlanks(key), other_key)) continue;
    if (ak::ProfileLookup(content, section, other_key) !=
        ak::ProfileLookup(*updated, section, other_key))
      abort();
  }
  if (!ak::profile::EqualsIgnoringAsciiCase(ak::profile::TrimBlanks(section), "s") &&
      ak::ProfileLookup(content, "s", "k") != ak::ProfileLookup(*updated, "s", "k"))
    abort();
  return 0;
}
