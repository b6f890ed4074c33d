#pragma once

#include <memory>
#include <string_view>

#include "controls/control_change.h"

namespace ak {

// Decodes a JPEG picture into RGBA. libjpeg's DCT scaling picks the smallest scale (1/1 to 1/8)
// at which the picture still covers `minWidth` x `minHeight`, so a huge picture decodes small
// and memory stays bounded; a picture whose scaled size would still exceed a fixed pixel budget
// is refused. Nothing (a null pointer) for bytes that are not a whole, decodable JPEG.
std::shared_ptr<const CoverImage> DecodeJpeg(std::string_view bytes, int minWidth = 0,
                                             int minHeight = 0);

}  // namespace ak
