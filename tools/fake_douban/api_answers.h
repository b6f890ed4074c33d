#pragma once

#include <string>

#include "tools/fake_douban/fixture.h"

namespace ak::fake {

// The photo list of an album as the API answers it: an object with "start", "count", "total",
// "owner" (so "total" is followed by ',"o'), "album" and a "photos" array. Addresses are written
// the way json-c writes them ("\/" for "/"); a null description stays null, a missing large
// picture has no "large" member. `count` is capped at 100.
std::string AlbumPhotosAnswer(const Person& owner, const Album& album, int start, int count);

// {"msg":...,"code":...,"request":...} as the API answers an unknown album or a bad request.
std::string ApiErrorAnswer(int code, const std::string& msg, const std::string& request);

}  // namespace ak::fake
