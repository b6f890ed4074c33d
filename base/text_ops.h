#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/types.h"

namespace ak {

// GBK-aware text operations. A GBK character is one byte below 0x80 or two bytes whose first is
// 0x80 or above. Positions are 1-based byte positions; a failed search gives -1. Searches step
// over double-byte characters whole, so a match never starts on a trail byte.

// Stands for one double-quote character in the markers of TextBetween and, when asked for, in
// regular-expression patterns: the GBK bytes of "#引号".
inline constexpr std::string_view QuoteToken = "#\xD2\xFD\xBA\xC5";

// True for a byte that starts a double-byte character.
inline bool IsGbkLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Length of `text` without a lone lead byte left at its very end (a cut-off double-byte
// character); the whole length when the text ends on a character boundary.
std::size_t CompleteGbkLength(std::string_view text);

// Position of the first occurrence of `part` at or after `start` (a start below 1 counts as 1;
// the byte at `start` is taken as the first byte of a character, as positions this layer
// returns always are); ASCII letters compare without case when `ignoreCase`. An empty part is found
// at `start` in a non-empty text. An empty text holds nothing.
int Find(std::string_view text, std::string_view part, int start = 1, bool ignoreCase = false);

// Position of the last occurrence of `part`; -1 when absent or when `part` is empty.
int FindLast(std::string_view text, std::string_view part);

// Replaces the occurrences of `part` at or after `start`, left to right without overlap; the
// first `count` of them, or all when `count` is 0 or less. ASCII letters compare without case
// unless `caseSensitive`. An empty part replaces nothing.
Text Replace(std::string_view text, std::string_view part, std::string_view replacement = {},
             int start = 1, int count = -1, bool caseSensitive = false);

// Blanks are the ASCII space and the GBK ideographic space 0xA1 0xA1; tabs and line breaks are
// not blanks.
Text Trim(std::string_view text);
Text RemoveBlanks(std::string_view text);

// The pieces between separators, in order. Empty pieces between two separators are kept, an
// empty piece after a final separator is not; an empty text gives no pieces. An empty separator
// gives the whole text as one piece.
std::vector<Text> Split(std::string_view text, std::string_view separator);

// Bytes from the left, from the right, or `count` bytes from the 1-based `start`. A count of 0 or
// less gives the empty text; a count beyond the end gives what there is.
Text Left(std::string_view text, int count);
Text Right(std::string_view text, int count);
Text Mid(std::string_view text, int start, int count);

// ASCII A-Z to a-z; double-byte characters are left as they are, trail bytes included.
Text LowerCase(std::string_view text);

// One byte: ASCII A-Z to a-z, every other byte as it is.
inline char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Byte by byte AsciiLower, for texts that are ASCII by their nature (host, header and file-system
// record names); GBK text goes through LowerCase.
std::string AsciiLowerCase(std::string_view text);

// The text with every C0 control character and DEL written visibly as "\xNN" (lower-case hex),
// except tab, line feed and a carriage return directly before a line feed: what may reach a
// terminal or a log box from the service cannot move the cursor, clear the screen or retitle the
// window. Double-byte GBK and UTF-8 characters never hold such bytes and pass unchanged.
Text ShowControlCharacters(std::string_view text);

// The text without ASCII spaces and tabs at either end, for fields of protocols and of the
// command line; GBK text goes through Trim.
std::string_view TrimSpacesAndTabs(std::string_view text);

// Full-width digits and signs are read as their ASCII forms, then the leading decimal integer is
// read (leading white space skipped, optional sign). No number gives 0; a number beyond the int
// range gives the nearest limit.
int ToInteger(std::string_view text);

// The text between the first `left` marker at or after `start` and the next `right` marker after
// it; QuoteToken in either marker stands for a double quote. Empty when either marker is absent.
Text TextBetween(std::string_view text, std::string_view left, std::string_view right,
                 int start = 1, bool ignoreCase = false);

// The trimmed text after, or before, the first colon; empty when there is no colon.
Text TextAfterColon(std::string_view text);
Text TextBeforeColon(std::string_view text);

}  // namespace ak
