#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// The parts of an address as the page fetches connect to it. The address may come with or
// without a scheme; without one it is taken as plain HTTP.

// The host name in lower case; with `keepPort`, host, colon and port when the address names a
// port.
Text UrlHost(std::string_view url, bool keepPort = false);

// The port named in the address; otherwise 443 for "https" addresses and 80 for the rest. A port
// that is not a number gives 0.
int UrlPort(std::string_view url);

// The path with query (and fragment), starting with "/", letter case kept: from the first "/"
// after the host; "/" when the address has none. Only a scheme at the very start counts as one:
// an address named inside the query is part of the path.
Text UrlPath(std::string_view url);

// True when the address starts with "https" in any letter case.
bool UrlIsSecure(std::string_view url);

}  // namespace ak
