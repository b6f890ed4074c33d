#include <algorithm>
#include <climits>

#include "base/gbk_search.h"
#include "base/text_ops.h"

namespace ak {
namespace {

// Length of the blank that starts at `at`, 0 when the character there is not a blank.
std::size_t BlankAt(std::string_view text, std::size_t at) {
  if (text[at] == ' ') return 1;
  if (text[at] == '\xA1' && at + 1 < text.size() && text[at + 1] == '\xA1') return 2;
  return 0;
}

std::size_t Clamp(std::string_view text, int count) {
  return count <= 0 ? 0 : std::min(text.size(), static_cast<std::size_t>(count));
}

// A full-width digit or sign (0xA3 followed by 0xB0..0xB9, 0xAB or 0xAD) as its ASCII form, or
// 0 for any other character.
char AsciiFormOf(std::string_view text, std::size_t at) {
  if (text[at] != '\xA3' || at + 1 >= text.size()) return 0;
  auto trail = static_cast<unsigned char>(text[at + 1]);
  if (trail >= 0xB0 && trail <= 0xB9) return static_cast<char>('0' + (trail - 0xB0));
  if (trail == 0xAB) return '+';
  if (trail == 0xAD) return '-';
  return 0;
}

}  // namespace

std::size_t CompleteGbkLength(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t next = detail::NextBoundary(text, at);
    if (next > text.size()) return at;
    at = next;
  }
  return at;
}

Text Trim(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t blank = BlankAt(text, begin);
    if (blank == 0) break;
    begin += blank;
  }
  // Walk forward so that a trailing 0xA1 0xA1 counts only when it is a whole character.
  std::size_t end = begin;
  for (std::size_t at = begin; at < text.size();) {
    std::size_t blank = BlankAt(text, at);
    if (blank != 0) {
      at += blank;
    } else {
      at = std::min(text.size(), detail::NextBoundary(text, at));
      end = at;
    }
  }
  return Text(text.substr(begin, end - begin));
}

Text RemoveBlanks(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    std::size_t blank = BlankAt(text, at);
    if (blank != 0) {
      at += blank;
      continue;
    }
    std::size_t next = std::min(text.size(), detail::NextBoundary(text, at));
    out.append(text.substr(at, next - at));
    at = next;
  }
  return out;
}

Text Left(std::string_view text, int count) { return Text(text.substr(0, Clamp(text, count))); }

Text Right(std::string_view text, int count) {
  return Text(text.substr(text.size() - Clamp(text, count)));
}

Text Mid(std::string_view text, int start, int count) {
  std::size_t from = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
  if (from >= text.size()) return {};
  return Left(text.substr(from), count);
}

Text LowerCase(std::string_view text) {
  Text out(text);
  for (std::size_t at = 0; at < out.size(); at = detail::NextBoundary(out, at)) {
    out[at] = AsciiLower(out[at]);
  }
  return out;
}

int ToInteger(std::string_view text) {
  Text ascii;
  ascii.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    if (char c = AsciiFormOf(text, at)) {
      ascii.push_back(c);
      at += 2;
    } else {
      std::size_t next = std::min(text.size(), detail::NextBoundary(text, at));
      ascii.append(text.substr(at, next - at));
      at = next;
    }
  }
  std::size_t at = 0;
  while (at < ascii.size() && (ascii[at] == ' ' || (ascii[at] >= '\t' && ascii[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < ascii.size() && (ascii[at] == '+' || ascii[at] == '-')) negative = ascii[at++] == '-';
  long long value = 0;
  for (; at < ascii.size() && ascii[at] >= '0' && ascii[at] <= '9'; ++at) {
    value = value * 10 + (ascii[at] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturated below
  }
  if (negative) return value > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string AsciiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

Text ShowControlCharacters(std::string_view text) {
  Text out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool lineEnd = c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
    if ((c >= 0x20 && c != 0x7F) || c == '\t' || lineEnd) {
      out.push_back(text[i]);
      continue;
    }
    constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
  }
  return out;
}

}  // namespace ak
