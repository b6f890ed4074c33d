#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/types.h"

namespace ak {

// Compiles one pattern, runs it over one GBK subject and answers questions about the matches.
// The engine is PCRE2 in UTF mode: the subject and the pattern are converted from GBK to UTF-8,
// matches are converted back. "." matches anything but a line feed; letters match either case
// unless asked otherwise; group numbers count opening parentheses from the left.
//
// A matcher belongs to the thread that uses it; copies are independent.
class RegexMatcher {
 public:
  // Runs `pattern` over `subject`, forgetting any earlier run. With `quoteToken`, every
  // QuoteToken in the pattern stands for a double quote. Returns false, with no matches, when
  // the pattern is invalid. A pattern that needs more work than a fixed multiple of the subject
  // size keeps the matches found up to that point (see Complete()).
  bool RunPattern(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                  bool multiLine = true, bool global = true, bool quoteToken = false);

  // Number of matches of the last run; 0 before the first run and after a failed one.
  int MatchCount() const;
  // Text of match `match` (1-based) as GBK; empty for an index outside 1..MatchCount().
  Text MatchText(int match) const;
  // Text captured by group `group` (1-based) of match `match`; empty when the group did not take
  // part or either index is out of range.
  Text SubMatchText(int match, int group) const;
  // False when the last run stopped early because the engine hit its work or memory limits.
  bool Complete() const { return complete_; }

 private:
  Text Piece(int match, int group) const;

  std::string subject_;  // UTF-8
  int groups_ = 0;
  // For each match, the start and end offsets into subject_ of the match and of each group;
  // kUnset for a group that did not take part.
  std::vector<std::size_t> spans_;
  bool complete_ = true;
};

}  // namespace ak
