#pragma once

#include "base/types.h"

namespace ak {

// Makes sure the folder `path` (GBK) exists, creating every missing level. A path that does not
// end in a separator gets one appended, and the caller's variable keeps it. True when the folder
// exists afterwards; an existing folder counts as success.
bool EnsureFolder(Text& path);

}  // namespace ak
