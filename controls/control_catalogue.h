#pragma once

#include <span>
#include <string_view>

#include "controls/control_names.h"

namespace ak {

// What a named control is; the window makes one widget of the matching kind for each.
enum class ControlKind {
  kWindow,
  kToolbar,
  kTabControl,
  kGroupBox,
  kLabel,
  kClickableLabel,
  kLineEdit,
  kMultiLineEdit,
  kButton,
  kCheckBox,
  kRadioButton,
  kProgressBar,
  kListView,
  kDrawingBoard,
  kWebBrowser,
};

struct ControlRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const ControlRect&, const ControlRect&) = default;
};

// One control of the window design. Names are the UTF-8 identifiers the code uses for the
// controls; they are also the widgets' object names.
struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  // The control it sits on; empty for a top-level window.
  std::string_view parent;
  // For the direct children of the tab control: the page they sit on; -1 otherwise.
  int page;
  ControlRect rect;
  // UTF-8 design caption. "{host}" stands for the service's web host.
  std::string_view caption;
  bool visible;
};

// Names the code refers to often.
inline constexpr ControlName kMainWindow = ctl::主窗口;
inline constexpr ControlName kSearchWindow = ctl::查找窗口;
inline constexpr ControlName kPages = ctl::高级选择夹1;
inline constexpr ControlName kToolbar = ctl::工具条1;
inline constexpr ControlName kAlbumList = ctl::超级列表框1;
inline constexpr ControlName kLogBox = ctl::编辑框_操作记录;
inline constexpr ControlName kBrowser = ctl::超文本浏览框1;

// Every control of the main window and of the album search window, parents before children.
std::span<const ControlSpec> ControlCatalogue();
// The design entry of `name`, or nullptr for a name the design does not have.
const ControlSpec* FindControlSpec(std::string_view name);
inline const ControlSpec* FindControlSpec(ControlName name) { return FindControlSpec(name.View()); }

// The toolbar's five items in order; an empty caption is a separator.
std::span<const std::string_view> ToolbarItemCaptions();
// The captions of the three pages of the tab control, spaces included.
std::span<const std::string_view> PageCaptions();

// The album list's columns.
struct ListColumnSpec {
  std::string_view header;
  int width;
};
inline constexpr int kAlbumListColumns = 8;
std::span<const ListColumnSpec> AlbumListColumns();

}  // namespace ak
