#include "albums/album_search.h"

#include <string>

#include "albums/album_list.h"
#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

bool RowMatches(const Controls& controls, int row, std::string_view keyword) {
  return AlbumNameMatches(controls.Cell(row, kColumnName), keyword);
}

// A hit: remembered, scrolled into view, made the current row and named in the row label.
void Hit(Controls& controls, AlbumSearchState& state, int row) {
  state.currentFoundRow = row;
  controls.ShowRow(row);
  controls.SelectRow(row);
  controls.SetCaption(ctl::标签_行位置, AK_GBK("第") + std::to_string(row + 1) + AK_GBK("行"));
}

void Miss(Controls& controls, AlbumSearchState& state, const Text& message) {
  state.currentFoundRow = -1;
  controls.ShowMessage(message);
}

// The first matching row from `from` up to the last row; -1 when none.
int SearchDown(const Controls& controls, int from, std::string_view keyword) {
  for (int row = from < 0 ? 0 : from, rows = controls.RowCount(); row < rows; ++row) {
    if (RowMatches(controls, row, keyword)) return row;
  }
  return -1;
}

}  // namespace

bool AlbumNameMatches(std::string_view name, std::string_view keyword) {
  return !name.empty() && Find(name, keyword, 1, true) > 0;
}

void FindAlbum(Controls& controls, AlbumSearchState& state) {
  state.searchKeyword = controls.Caption(ctl::编辑框1);
  const int row = SearchDown(controls, 0, state.searchKeyword);
  if (row >= 0) {
    Hit(controls, state, row);
  } else {
    Miss(controls, state,
         AK_GBK("未找到名称包含关键词：") + state.searchKeyword + AK_GBK("的相册"));
  }
}

void FindNextAlbum(Controls& controls, AlbumSearchState& state) {
  state.searchKeyword = controls.Caption(ctl::编辑框1);
  const int row = SearchDown(controls, state.currentFoundRow + 1, state.searchKeyword);
  if (row >= 0) {
    Hit(controls, state, row);
  } else {
    Miss(controls, state, AK_GBK("没有了"));
  }
}

void FindPreviousAlbum(Controls& controls, AlbumSearchState& state) {
  if (state.currentFoundRow == -1) state.currentFoundRow = controls.RowCount();
  const Text keyword = controls.Caption(ctl::编辑框1);
  for (int row = state.currentFoundRow - 1; row >= 0; --row) {
    if (RowMatches(controls, row, keyword)) {
      Hit(controls, state, row);
      return;
    }
  }
  Miss(controls, state, AK_GBK("没有了"));
}

}  // namespace ak
