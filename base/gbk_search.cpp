#include "base/gbk_search.h"

#include <cassert>

#include "base/text_ops.h"

namespace ak::detail {
namespace {

unsigned char FoldAscii(unsigned char c) {
  return static_cast<unsigned char>(AsciiLower(static_cast<char>(c)));
}

// Compares `part` with the text at `at`, folding ASCII letters of single-byte characters only:
// the trail byte of a double-byte character is compared exactly even when it looks like a
// letter.
bool MatchesAt(std::string_view text, std::size_t at, std::string_view part) {
  for (std::size_t i = 0; i < part.size(); ++i) {
    auto a = static_cast<unsigned char>(text[at + i]);
    auto b = static_cast<unsigned char>(part[i]);
    if (b >= 0x80) {
      if (a != b) return false;
      if (++i < part.size() && text[at + i] != part[i]) return false;
    } else if (FoldAscii(a) != FoldAscii(b)) {
      return false;
    }
  }
  return true;
}

std::size_t SearchExact(std::string_view text, std::string_view part, std::size_t from) {
  std::size_t boundary = from;
  while (true) {
    // The library search finds candidates fast; the boundary cursor only walks forward, so the
    // whole search stays linear in the text.
    std::size_t hit = text.find(part, boundary);
    if (hit == std::string_view::npos) return hit;
    while (boundary < hit) boundary = NextBoundary(text, boundary);
    if (boundary == hit) return hit;
  }
}

std::size_t SearchFolded(std::string_view text, std::string_view part, std::size_t from) {
  const unsigned char first = FoldAscii(static_cast<unsigned char>(part[0]));
  const std::size_t last = text.size() - part.size();
  for (std::size_t at = from; at <= last; at = NextBoundary(text, at)) {
    if (FoldAscii(static_cast<unsigned char>(text[at])) == first && MatchesAt(text, at, part))
      return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t GbkSearch(std::string_view text, std::string_view part, std::size_t from,
                      bool ignoreCase) {
  assert(!part.empty());
  if (from >= text.size() || part.size() > text.size() - from) return std::string_view::npos;
  return ignoreCase ? SearchFolded(text, part, from) : SearchExact(text, part, from);
}

}  // namespace ak::detail
