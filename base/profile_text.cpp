#include "base/profile_text.h"

#include "base/text_ops.h"

namespace ak::profile {

std::string_view TrimBlanks(std::string_view s) { return TrimSpacesAndTabs(s); }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

std::size_t FindByte(std::string_view s, char c) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (IsLeadByte(s[i]) && i + 1 < s.size()) {
      ++i;
    } else if (s[i] == c) {
      return i;
    }
  }
  return std::string_view::npos;
}

bool EndsInLoneLeadByte(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!IsLeadByte(s[i])) continue;
    if (i + 1 == s.size()) return true;
    ++i;
  }
  return false;
}

std::string_view CutWhole(std::string_view s, std::size_t max_bytes) {
  if (s.size() <= max_bytes) return s;
  std::size_t i = 0;
  while (i < max_bytes) {
    const std::size_t step = (IsLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
    if (i + step > max_bytes) break;
    i += step;
  }
  return s.substr(0, i);
}

}  // namespace ak::profile
