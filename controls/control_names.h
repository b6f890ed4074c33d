#pragma once

#include <optional>
#include <ostream>
#include <string_view>

namespace ak {

// The name of one control of the window design. Code names controls only through the constants
// in `ak::ctl` below (or through ControlNameOf for a name read at run time), so a misspelt name
// does not compile.
class ControlName {
 public:
  struct Tag {};
  // Used by the constants below only.
  constexpr ControlName(Tag, std::string_view name) : name_(name) {}
  // The control's identifier (UTF-8), which is also its widget's object name.
  constexpr std::string_view View() const { return name_; }
  // The same, NUL-terminated (every name comes from a string literal).
  constexpr const char* CString() const { return name_.data(); }
  friend constexpr bool operator==(ControlName a, ControlName b) { return a.name_ == b.name_; }
  friend constexpr bool operator==(ControlName a, std::string_view b) { return a.name_ == b; }
  friend std::ostream& operator<<(std::ostream& out, ControlName name) { return out << name.name_; }

 private:
  std::string_view name_;
};

// Every control of the main window and of the album search window, parents before children; the
// catalogue holds one entry for each, in the same order (checked when it is compiled).
// clang-format off
#define AK_CONTROL_NAMES(X) \
  X(主窗口) \
  X(工具条1) \
  X(标签12) \
  X(高级选择夹1) \
  X(编辑框_url) \
  X(按钮_打开) \
  X(按钮_专辑页面) \
  X(超文本浏览框1) \
  X(分组框_zhuye) \
  X(标签1) \
  X(编辑框_号码) \
  X(按钮_获取相册封面) \
  X(按钮_下载选中) \
  X(按钮_暂停线程) \
  X(按钮_继续下载) \
  X(按钮_结束下载) \
  X(分组框_weizhi) \
  X(标签_保存路径) \
  X(编辑框_保存位置) \
  X(按钮_选择位置) \
  X(按钮_打开目录) \
  X(按钮_重试失败) \
  X(分组框_liebiao) \
  X(选择框_全选) \
  X(选择框_反选) \
  X(选择框_有图) \
  X(标签_查找) \
  X(标签_动态) \
  X(超级列表框1) \
  X(画板1) \
  X(分组框_日志) \
  X(标签3) \
  X(编辑框_操作记录) \
  X(标签_进度) \
  X(进度条1) \
  X(标签_进度条比例) \
  X(标签_选择了相册数量) \
  X(标签_正在下载相册) \
  X(标签_第多少张照片) \
  X(分组框7) \
  X(分组框2) \
  X(标签11) \
  X(选择框_浏览模式) \
  X(选择框_api模式) \
  X(标签8) \
  X(单选框_中图) \
  X(单选框_原图) \
  X(单选框_原始尺寸) \
  X(选择框_下载记录) \
  X(选择框_描述作为文件名) \
  X(标签_请求间隔) \
  X(编辑框_请求间隔) \
  X(标签_同时下载) \
  X(编辑框_同时下载) \
  X(选择框_元数据) \
  X(分组框4) \
  X(标签10) \
  X(标签14) \
  X(标签13) \
  X(标签_接口密钥) \
  X(编辑框_接口密钥) \
  X(标签_调试模式) \
  X(编辑框_正则) \
  X(按钮_保存) \
  X(标签5) \
  X(标签_banben) \
  X(标签_xinbanben) \
  X(标签_zxbanben) \
  X(标签_banbenjieguo) \
  X(按钮_checknew) \
  X(查找窗口) \
  X(标签_要查找的相册名称) \
  X(编辑框1) \
  X(按钮_查找) \
  X(按钮_查找下一个) \
  X(按钮_查找上一个) \
  X(标签_结果) \
  X(标签_行位置)
// clang-format on

namespace ctl {
#define AK_DECLARE_CONTROL_NAME(name) inline constexpr ControlName name{ControlName::Tag{}, #name};
AK_CONTROL_NAMES(AK_DECLARE_CONTROL_NAME)
#undef AK_DECLARE_CONTROL_NAME
}  // namespace ctl

// The control called `name`, or nothing when the design has no such control.
std::optional<ControlName> ControlNameOf(std::string_view name);

}  // namespace ak
