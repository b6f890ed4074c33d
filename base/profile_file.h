#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "base/types.h"

namespace ak {

// The rules of the profile (INI) file as users edit it by hand and carry it between machines:
//  - a line whose first non-blank byte is "[" opens a section, named by what stands up to "]";
//    ";" starts a comment; any other line with "=" is a key; every other line is left alone;
//  - section and key names match without regard to ASCII case, blanks around them ignored; the
//    first matching section and, in it, the first matching key count;
//  - a value is read with the blanks around "=" and at the line's end dropped;
//  - lines end in CR LF when written; LF alone is accepted on read.
// The functions below work on the file's content; profile_io.h applies them to files.

// The value of `key` in `section`, or nullopt when the section or the key is missing. A key
// present with nothing after "=" gives the empty text.
std::optional<Text> ProfileLookup(std::string_view content, std::string_view section,
                                  std::string_view key);

// The content with `key` of `section` set to `value`:
//  - an existing key has its line replaced in place;
//  - a missing key is added after the last non-blank line of its section;
//  - a missing section is added, with the key, at the end of the content.
// Every other byte stays as it was. nullopt when the pair cannot be written so that it reads back:
// an empty name, a line break in any of the three texts, "=" in the key, "]" in the section, or a
// key starting with "[" or ";", or a name ending in half a double-byte character.
std::optional<Text> ProfileUpdate(std::string_view content, std::string_view section,
                                  std::string_view key, std::string_view value);

}  // namespace ak
