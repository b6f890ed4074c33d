#include <chrono>
#include <cstdint>

#include "albums/name_cleaning.h"
#include "base/regex_matcher.h"

namespace ak {

Text DigitsOf(std::string_view text) {
  RegexMatcher matcher;
  matcher.RunPattern("[0-9]", text);
  Text digits;
  for (int i = 1; i <= matcher.MatchCount(); ++i) digits += matcher.MatchText(i);
  return digits;
}

int RandomInRange(int low, int high) {
  if (high < low) return 0;
  // The low 32 bits of a nanosecond clock stand in for the processor's time-stamp counter.
  const auto ticks = static_cast<std::uint32_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  const std::uint32_t mixed = ticks * 23u + 7u;
  const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
  return static_cast<int>(static_cast<std::int64_t>(low) + static_cast<std::int64_t>(mixed % span));
}

Text RandomLetters(int count, int letterCase) {
  Text letters;
  for (int i = 0; i < count; ++i) {
    const bool upper = letterCase == 1 || (letterCase != 0 && RandomInRange(1, 2) == 2);
    letters.push_back(static_cast<char>(upper ? RandomInRange('A', 'Z') : RandomInRange('a', 'z')));
  }
  return letters;
}

}  // namespace ak
