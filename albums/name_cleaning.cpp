#include "albums/name_cleaning.h"

#include <array>

#include "base/text_ops.h"

namespace ak {
namespace {

// Each list is applied in order, every occurrence of an entry removed before the next entry.
constexpr std::array<std::string_view, 22> kAlbumNameRemovals = {
    ":",        "\\",       "/",        "?",        "*",        "<",        ">",        "|",
    "\xA3\xBA", "\xA1\xA2", "\xA3\xBF", "\xA1\xA3", "\xA3\xA8", "\xA3\xA9", "\xA1\xA4", "\xA3\xA1",
    "\xA3\xAC", ".",        " ",        "&",        "\n",       "\r",
};

constexpr std::array<std::string_view, 24> kDescriptionRemovals = {
    "\"",       "\\n",      "\\r",      ":",        "\\",       "/",        "?",        "*",
    "<",        ">",        "|",        "\xA3\xBA", "\xA1\xA2", "\xA3\xBF", "\xA1\xA3", "\xA3\xA8",
    "\xA3\xA9", "\xA1\xA4", "\xA3\xA1", "\xA3\xAC", ".",        "\r\n",     "\n",       "\r",
};

// C0 control characters (0x00 to 0x1F) and DEL (0x7F): escape sequences of a terminal, NUL
// bytes and the like have no place in a file name. A GBK trail byte is never one of them, so a
// byte of this range is always a character of its own; one that follows a lead byte without a
// trail is removed as well.
bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

Text RemoveControls(const Text& text) {
  Text kept;
  kept.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (IsGbkLead(text[at]) && at + 1 < text.size() &&
        !IsControl(static_cast<unsigned char>(text[at + 1]))) {
      length = 2;
    }
    if (length == 2 || !IsControl(c)) kept.append(text, at, length);
    at += length;
  }
  return kept;
}

// The listed removals in order, then every control character left over.
template <std::size_t N>
Text RemoveAll(Text text, const std::array<std::string_view, N>& removals) {
  for (std::string_view removed : removals) text = Replace(text, removed, {}, 1, -1, true);
  return RemoveControls(text);
}

}  // namespace

Text CleanAlbumName(Text& name) {
  name = RemoveAll(std::move(name), kAlbumNameRemovals);
  return name;
}

Text CleanDescription(Text& text, int maxLength) {
  Text cleaned = Left(RemoveAll(std::move(text), kDescriptionRemovals), maxLength);
  cleaned.resize(CompleteGbkLength(cleaned));
  text = Trim(cleaned);
  return text;
}

}  // namespace ak
