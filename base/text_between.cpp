#include "base/text_ops.h"

namespace ak {
namespace {

Text WithQuotes(std::string_view marker) { return Replace(marker, QuoteToken, "\"", 1, -1, true); }

}  // namespace

Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
  const Text leftMarker = WithQuotes(left);
  const Text rightMarker = WithQuotes(right);
  int found = Find(text, leftMarker, start, ignoreCase);
  if (found < 0) return {};
  const int contentStart = found + static_cast<int>(leftMarker.size());
  int end = Find(text, rightMarker, contentStart, ignoreCase);
  if (end < 0) return {};
  return Text(text.substr(static_cast<std::size_t>(contentStart) - 1,
                          static_cast<std::size_t>(end - contentStart)));
}

Text TextAfterColon(std::string_view text) {
  int colon = Find(text, ":");
  if (colon < 0) return {};
  return Trim(text.substr(static_cast<std::size_t>(colon)));
}

Text TextBeforeColon(std::string_view text) {
  int colon = Find(text, ":");
  if (colon < 0) return {};
  return Trim(text.substr(0, static_cast<std::size_t>(colon) - 1));
}

}  // namespace ak
