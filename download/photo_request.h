#pragma once

#include <string_view>

#include "base/types.h"

namespace ak {

// The request header block of every picture request, six lines each ending in CR LF; its Referer
// names the large-view page of the photo "2155058360" on the service's web host (WebHost()).
Text PhotoHeaderTemplate();

// The header block for one photo: the template with every "2155058360" replaced by `photoId`.
Text PhotoHeaderBlock(std::string_view photoId);

// The built-in pattern of one photo entry on an album's photo-list page (used while the pattern
// box is empty). Groups: 1 the description, 2 the picture host part of the thumbnail address,
// 3 the photo id. It starts at "lass=", without the "c" of "class".
std::string_view BuiltInPhotoPattern();

// The picture addresses built from the host part (group 2) and the photo id (group 3).
Text MediumPictureAddress(std::string_view hostPart, std::string_view photoId);
Text LargePictureAddress(std::string_view hostPart, std::string_view photoId);

}  // namespace ak
