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

template <std::size_t N>
Text RemoveAll(Text text, const std::array<std::string_view, N>& removals) {
  for (std::string_view removed : removals) text = Replace(text, removed, {}, 1, -1, true);
  return text;
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
