#pragma once

#include <string_view>

namespace ak {

// The JPEG (158 x 105 pixels) the album list shows as the cover of an album that has none, or
// whose cover could not be fetched or decoded.
std::string_view PlaceholderCoverJpeg();

}  // namespace ak
