#pragma once

#include <string_view>

#include "base/types.h"
#include "controls/controls.h"

namespace ak {

// Where the album search stands; kept between uses of the search window and across listings.
struct AlbumSearchState {
  // Row of the last hit; -1 after a search that found nothing. Starts at 0, so a first "next"
  // starts at row 1 and a first "previous" finds nothing.
  int currentFoundRow = 0;
  // The keyword last used by find and next.
  Text searchKeyword;
};

// True when `keyword` occurs in `name`, ASCII letters compared without case, double-byte
// characters stepped over whole. An empty keyword matches every non-empty name.
bool AlbumNameMatches(std::string_view name, std::string_view keyword);

// `按钮_查找`: the first matching row from the top, else the message "未找到名称包含关键词：" +
// keyword + "的相册".
void FindAlbum(Controls& controls, AlbumSearchState& state);
// `按钮_查找下一个`: the next matching row after the last hit (from the top after a miss), else
// "没有了".
void FindNextAlbum(Controls& controls, AlbumSearchState& state);
// `按钮_查找上一个`: the matching row before the last hit (from the bottom after a miss), else
// "没有了". The keyword is read but not kept.
void FindPreviousAlbum(Controls& controls, AlbumSearchState& state);

}  // namespace ak
