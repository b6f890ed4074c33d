#pragma once

#include <string>

#include "base/types.h"

namespace ak {

// The folder of the program's own files, as a GBK path without a trailing separator: the folder
// of the executable, or the folder named by ALBUMKEEPER_HOME when that is set. Read anew at every
// call, as every path of the program's own files is formed at its use.
Text ProgramDir();
// The same folder as the platform names it (UTF-8 on Linux), before it becomes GBK text.
std::string ProgramDirNative();

}  // namespace ak
