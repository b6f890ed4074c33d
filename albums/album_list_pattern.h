#pragma once

#include <string_view>

namespace ak {

// One album entry on a person's album-list page: the cover image, then the name link on the
// fourth line, the lines indented by exactly 4, 8 and 12 spaces. Groups: 1 the cover address,
// 2 the album address, 3 the album name as written in the page.
inline constexpr std::string_view AlbumListPattern =
    "<img class=\"album\" src=\"(.*?)\"/></a>\n"
    "    <div class=\"albumlst_r\">\n"
    "        <div class=\"pl2\">\n"
    "            <a href=\"(.*?)\">(.*?)</a>";

// Albums on one album-list page; the "?start=" value of page p is (p - 1) times this.
inline constexpr int kAlbumsPerListPage = 16;

}  // namespace ak
