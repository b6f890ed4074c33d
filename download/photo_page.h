#pragma once

#include <string_view>
#include <vector>

#include "base/regex_matcher.h"
#include "base/types.h"

namespace ak {

// One photo entry read from an album's photo-list page, its addresses built for every size.
struct ScrapedPhoto {
  Text id;
  // The entry's description as the page has it (not cleaned).
  Text description;
  Text mediumAddress;
  Text largeAddress;
  // The original ("raw") picture, offered to signed-in users.
  Text originalAddress;
};

// The pattern of a photo entry in the service's later markup: the thumbnail (sizes s, m, l;
// .jpg or .webp; any imgN.doubanio.com host, any scheme) in the src or the lazy-loading
// data-src of an image inside the photo's link, the link's title as the description; the
// attributes of both elements in any order. Groups: 1 the description, 2 the host part
// ("https://img3.doubanio.com"), 3 the thumbnail's size, 4 the photo id, 5 the extension.
std::string_view LaterPhotoPattern();

// The photos of one photo-list page (GBK). A user's pattern (not empty) is the only one tried,
// with the groups of the built-in pattern. Without one, the built-in pattern is tried first; only
// when it finds no photo, the later markup's pattern. Medium and large are then the m and l forms
// of the thumbnail's host, in its extension.
std::vector<ScrapedPhoto> ReadPhotoPage(RegexMatcher& matcher, const Text& userPattern,
                                        std::string_view pageText);

// The original of a picture address of any size form ("/view/photo/SIZE/public/pID.EXT"): the
// "raw" form, always .jpg; empty when the address has no such form.
Text OriginalPictureAddress(std::string_view address);

}  // namespace ak
