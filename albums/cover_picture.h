#pragma once

#include <memory>
#include <string_view>

#include "controls/control_change.h"

namespace ak {

// Side of a cover picture in the album list, in pixels.
inline constexpr int kCoverSide = 100;

// Scales `picture` to kCoverSide x kCoverSide (area average, aspect not kept) and makes every
// pixel that comes out pure white (0xFFFFFF) transparent, as the list's image list treats white.
std::shared_ptr<const CoverImage> ScaleCover(const CoverImage& picture);

// The list's cover for picture bytes: decoded, scaled and masked; nothing when the bytes are not
// a whole JPEG.
std::shared_ptr<const CoverImage> CoverFromJpeg(std::string_view bytes);

// The placeholder picture as a list cover (made once, shared by every row that shows it).
std::shared_ptr<const CoverImage> PlaceholderCover();

}  // namespace ak
