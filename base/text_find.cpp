#include <climits>

#include "base/gbk_search.h"
#include "base/text_ops.h"

namespace ak {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::size_t StartOffset(int start) { return start > 1 ? static_cast<std::size_t>(start) - 1 : 0; }

int ToPosition(std::size_t offset) {
  return offset == kNone || offset >= INT_MAX ? -1 : static_cast<int>(offset) + 1;
}

}  // namespace

int Find(std::string_view text, std::string_view part, int start, bool ignoreCase) {
  const std::size_t from = StartOffset(start);
  if (from >= text.size()) return -1;
  if (part.empty()) return ToPosition(from);
  return ToPosition(detail::GbkSearch(text, part, from, ignoreCase));
}

int FindLast(std::string_view text, std::string_view part) {
  if (part.empty()) return -1;
  std::size_t last = kNone;
  for (std::size_t at = detail::GbkSearch(text, part, 0, false); at != kNone;
       at = detail::GbkSearch(text, part, detail::NextBoundary(text, at), false)) {
    last = at;
  }
  return ToPosition(last);
}

Text Replace(std::string_view text, std::string_view part, std::string_view replacement, int start,
             int count, bool caseSensitive) {
  const std::size_t from = StartOffset(start);
  if (part.empty() || from >= text.size()) return Text(text);
  Text out;
  out.reserve(text.size());
  out.append(text.substr(0, from));
  std::size_t copied = from;
  long long left = count > 0 ? count : -1;
  for (std::size_t at = detail::GbkSearch(text, part, from, !caseSensitive);
       at != kNone && left != 0; at = detail::GbkSearch(text, part, copied, !caseSensitive)) {
    out.append(text.substr(copied, at - copied));
    out.append(replacement);
    copied = at + part.size();
    if (left > 0) --left;
  }
  out.append(text.substr(copied));
  return out;
}

std::vector<Text> Split(std::string_view text, std::string_view separator) {
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t begin = 0;
  for (std::size_t at = detail::GbkSearch(text, separator, 0, false); at != kNone;
       at = detail::GbkSearch(text, separator, begin, false)) {
    pieces.emplace_back(text.substr(begin, at - begin));
    begin = at + separator.size();
  }
  if (begin < text.size()) pieces.emplace_back(text.substr(begin));
  return pieces;
}

}  // namespace ak
