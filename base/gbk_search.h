#pragma once

#include <cstddef>
#include <string_view>

namespace ak::detail {

// Offset of the first occurrence of a non-empty `part` in `text` that starts on a character
// boundary at or after `from`, which must itself be a boundary; npos when there is none.
std::size_t GbkSearch(std::string_view text, std::string_view part, std::size_t from,
                      bool ignoreCase);

// The boundary of the character that starts at `at`: `at` + 1 or + 2.
inline std::size_t NextBoundary(std::string_view text, std::size_t at) {
  return at + (static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1);
}

}  // namespace ak::detail
