#pragma once

#include <cstddef>
#include <string_view>

namespace ak::profile {

// Byte rules of the profile file: GBK text, so a byte from 0x81 to 0xFE starts a double-byte
// character whose second byte may look like ASCII ("]" or a letter) and must never be taken for
// one.
inline bool IsLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

// Blanks dropped around names, around "=" and at line ends.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s);

// Equality that ignores the case of ASCII letters only; double-byte characters compare exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Position of the first single-byte `c` in `s`, stepping over double-byte characters whole;
// npos when absent.
std::size_t FindByte(std::string_view s, char c);

// True when the last byte of `s` is the first half of a double-byte character whose second half
// is missing: written before a "]" or "=", it would swallow that byte.
bool EndsInLoneLeadByte(std::string_view s);

// The longest prefix of `s` of at most `max_bytes` bytes that does not end in the first half of
// a double-byte character.
std::string_view CutWhole(std::string_view s, std::size_t max_bytes);

}  // namespace ak::profile
