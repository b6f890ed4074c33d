#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// Cookie strings are name=value pieces separated by ";" (written as "; ").

// Folds the response's cookies into the kept cookie string: blanks are removed from both
// arguments, response cookies come first in their order, then the kept ones they do not
// replace (the first of each name); "=deleted" pieces and empty pieces are dropped, and so are
// repeated pieces. `kept` receives the merged string, which is also returned.
Text MergeCookies(Text& kept, Text& response);

// The trimmed text before the first "=" of a piece; the whole trimmed piece without "=".
Text CookieName(std::string_view piece);

// `text` split at `separator` with every piece kept only the first time it appears, joined by
// `separator` again.
Text RemoveDuplicatePieces(std::string_view text, std::string_view separator);

// The name=value pieces of the Set-Cookie lines of a response header block (CR LF separated),
// joined by "; ". A line whose Set-Cookie header carries no value still gives an empty piece.
Text SetCookieExtraction(std::string_view responseHeaders);

}  // namespace ak
