#pragma once

#include <optional>
#include <string>

#include "tools/fake_douban/fixture.h"

namespace ak::fake {

// The photo list of an album as the API answers it: an object with "start", "count", "total",
// "owner" (so "total" is followed by ',"o'), "album" and a "photos" array. Addresses are written
// the way json-c writes them ("\/" for "/"); a null description stays null, a missing large
// picture has no "large" member. `count` is capped at 100. With `claimedTotal`, "total" and the
// album's "size" claim it (a number when it is one, else a string).
std::string AlbumPhotosAnswer(const Person& owner, const Album& album, int start, int count,
                              const std::optional<std::string>& claimedTotal = std::nullopt,
                              bool today = false);

// {"msg":...,"code":...,"request":...} as the API answers an unknown album or a bad request.
std::string ApiErrorAnswer(int code, const std::string& msg, const std::string& request);

}  // namespace ak::fake
