#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/types.h"
#include "controls/control_catalogue.h"
#include "controls/control_change.h"

namespace ak {

// The state of one named control.
struct ControlState {
  const ControlSpec* spec = nullptr;
  Text caption;
  bool checked = false;
  bool visible = true;
  bool enabled = true;
  ControlRect rect;
  int progressMaximum = 100;
  int progressPosition = 0;
  int currentIndex = 0;
};

// One row of the album list.
struct ListRow {
  bool checked = false;
  std::array<Text, kAlbumListColumns> cells;
  std::shared_ptr<const CoverImage> cover;
};

// The plain state of every control, without any locking: the model keeps one behind its lock
// and a view can keep a copy that it brings up to date with the changes it is given.
class ControlsState {
 public:
  // The state of the window design; "{host}" in captions becomes `webHost` (UTF-8).
  static ControlsState FromDesign(std::string_view webHost);

  const ControlState* Find(std::string_view name) const;
  const ControlState* Find(ControlName name) const { return Find(name.View()); }
  // Carries out a change; false when it names no control, no row or no column, in which case
  // nothing changed.
  bool Apply(const ControlChange& change);

  const std::vector<ListRow>& Rows() const { return rows_; }
  const std::array<int, kAlbumListColumns>& ColumnWidths() const { return columnWidths_; }
  int SelectedRow() const { return selectedRow_; }
  int ShownRow() const { return shownRow_; }

 private:
  ControlState* FindMutable(std::string_view name);
  bool ApplyToList(const ControlChange& change);

  std::map<std::string, ControlState, std::less<>> controls_;
  std::vector<ListRow> rows_;
  std::array<int, kAlbumListColumns> columnWidths_{};
  int selectedRow_ = -1;
  int shownRow_ = -1;
};

}  // namespace ak
