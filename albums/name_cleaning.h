#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// Album names, owner names and photo descriptions become folder and file names. The cleaners
// remove characters that cannot stand in a name, on whole GBK characters: the trail byte of a
// double-byte character is never taken for a backslash, a bar or any other ASCII character.

// Removes : \ / ? * < > | ：、？。（）·！， . space & LF CR, then every other C0 control character
// and DEL, from `name` and returns the result, which may be empty.
Text CleanAlbumName(Text& name);

// Removes " \n \r (as escaped text) : \ / ? * < > | ：、？。（）·！， . and line breaks, then
// every other C0 control character and DEL, from `text`, keeps at most `maxLength` bytes without
// leaving half a double-byte character at the end, and trims half-width and full-width spaces at
// both ends.
Text CleanDescription(Text& text, int maxLength);

// The ASCII digits of `text`, in order.
Text DigitsOf(std::string_view text);

// `count` random letters: `letterCase` 0 lower case, 1 upper case, any other value each letter's
// case at random.
Text RandomLetters(int count, int letterCase);

// A number from `low` to `high` taken from a high-resolution clock; 0 when high < low.
int RandomInRange(int low, int high);

}  // namespace ak
