#pragma once

namespace ak {

// Prints how the program is started to standard output.
void PrintUsage();

}  // namespace ak
