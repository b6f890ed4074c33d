#pragma once

#include "tools/fake_douban/fixture.h"

namespace ak::fake {

// The person "hostile" (at /people/hostile/), added by --hostile-names: 15 albums, all on one
// album-list page, whose titles and photo descriptions carry what a careless program turns into
// broken file names: C0 control characters (terminal escape sequences, tabs, bell), DEL, a title
// of 900 bytes, a title that begins with NUL (the seventh album, so that a listing that stops
// at the NUL loses it and the eight after it) and one made of control characters only. The
// owner's name holds control characters and is over 255 bytes long.
inline constexpr const char* kHostilePerson = "hostile";
void AddHostilePerson(Fixture& fixture);

}  // namespace ak::fake
