#pragma once

#include <string_view>
#include <vector>

#include "base/types.h"

namespace ak {

// One element of an API page's "photos" array, its members as the downloader uses them (GBK).
struct ApiPhoto {
  Text id;     // the "id" member's JSON text without its double quotes
  Text image;  // the "image" address: quotes and backslashes removed, https:// made http://
  Text large;  // the "large" address, cleaned as "image" ("null" when the member is missing)
  Text desc;   // the "desc" member's JSON text, quotes and escapes included
};

// The total text of the API's total answer (GBK): the text between "total":" and ","o",
// unchanged; empty when either marker is missing.
Text ApiTotalText(std::string_view answer);

// The photos of one API page. The answer is parsed as the UTF-8 it arrives in (up to a first NUL
// byte), and each member's JSON text is converted to GBK afterwards, so a GBK character whose
// second byte is a backslash cannot break the parse. An answer that is not JSON, or has no
// "photos" array, gives no photo; `isPhotoList`, when given, says whether the answer was a JSON
// object with a "photos" array (an empty one included).
std::vector<ApiPhoto> ParseApiPhotoPage(std::string_view utf8Answer, bool* isPhotoList = nullptr);

}  // namespace ak
