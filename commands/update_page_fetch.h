#pragma once

#include "commands/version_check.h"

namespace ak {

// The update page's fetch of the running program: a GET of the configured update address with
// the page fetch, the body taken as it is.
UpdatePageFetch UpdatePageFetcher();

}  // namespace ak
