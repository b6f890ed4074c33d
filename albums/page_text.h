#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// A page of the service (UTF-8) as GBK text to scrape names and counts from. The whole page is
// converted: a NUL byte in it (in an album title or a description, say) does not end the page,
// which would lose every entry after it.
Text PageText(std::string_view utf8Page);

// A text scraped from such a page (an album name, a title, a description, an address): like
// every text of the program it ends at its first NUL byte, so a title that begins with NUL is
// an empty one.
Text ScrapedText(std::string_view field);

}  // namespace ak
