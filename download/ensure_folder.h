#pragma once

#include <system_error>

#include "base/types.h"

namespace ak {

// Makes sure the folder `path` (GBK) exists, creating every missing level. A path that does not
// end in a separator gets one appended, and the caller's variable keeps it. True when the folder
// exists afterwards; an existing folder counts as success. `error`, when given, receives why
// the folder could not be made (a level that is a file, a read-only file system, ...).
bool EnsureFolder(Text& path, std::error_code* error = nullptr);

}  // namespace ak
