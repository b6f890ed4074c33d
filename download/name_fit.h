#pragma once

#include <cstddef>
#include <string_view>

#include "base/types.h"

namespace ak {

// The longest folder or file name the file systems take: 255 bytes of UTF-8 on Linux (ext4,
// btrfs, xfs, tmpfs), 255 UTF-16 units on Windows.
inline constexpr std::size_t kMaxNameLength = 255;

// The length of the GBK name `name` in the units the platform's file system counts (UTF-8 bytes,
// or UTF-16 units on Windows).
std::size_t NativeNameLength(std::string_view name);

// The name `front` + `middle` + `back` (GBK), with `middle` cut at a character boundary so that
// the whole fits kMaxNameLength. The parts the program adds around a name from the service
// (running numbers, counts, separators, the extension) go in `front` and `back` and are kept;
// only when they alone do not fit is the whole name cut at its end.
Text FitName(std::string_view front, std::string_view middle, std::string_view back);

}  // namespace ak
