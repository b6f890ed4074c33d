#include "albums/page_text.h"

#include "base/codec.h"

namespace ak {

Text PageText(std::string_view utf8Page) { return Codec().Utf8ToGbk(utf8Page); }

Text ScrapedText(std::string_view field) { return Text(field.substr(0, field.find('\0'))); }

}  // namespace ak
