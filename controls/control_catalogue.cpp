#include "controls/control_catalogue.h"

#include <array>

namespace ak {
namespace {

using K = ControlKind;

// A rule of underscores under the toolbar, and a column of bars as a vertical separator.
constexpr std::string_view kUnderscoreRule =
    "______________________________________________________________________________________________"
    "______________________________________________________________________________________________"
    "______________________________________________________________________________________________"
    "__________________";
constexpr std::string_view kBarColumn =
    "|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|\r\n|";

// Usage help of the settings page, lines separated by CR LF.
constexpr std::string_view kHelpText =
    "1：支持输入用户主页地址：\r\n\r\n格式例如：http://{host}/people/someone/"
    "\r\n\r\n\r\n2：支持输入用户单个相册下载：\r\n\r\n\r\n格式例如：http://{host}/photos/album/"
    "12345678/\r\n\r\n\r\n豆瓣网下载相册不要太频繁，如果出现了403错误 通常是太频繁了，清理cookie "
    "换Ip一般就能解决！";

constexpr std::string_view kNoParent = "";

// clang-format off
constexpr ControlSpec kCatalogue[] = {
  {kMainWindow.View(), K::kWindow, kNoParent, -1, {50, 50, 940, 667}, "AlbumKeeper 豆瓣相册下载", true},
  {"工具条1", K::kToolbar, kMainWindow.View(), -1, {0, -1, 934, 57}, "", true},
  {"标签12", K::kLabel, kMainWindow.View(), -1, {-16, 43, 1500, 24}, kUnderscoreRule, true},
  {"高级选择夹1", K::kTabControl, kMainWindow.View(), -1, {2, 57, 924, 575}, "", true},
  // Page 0: login.
  {"编辑框_url", K::kLineEdit, kPages.View(), 0, {12, 28, 560, 28}, "http://{host}/login", true},
  {"按钮_打开", K::kButton, kPages.View(), 0, {575, 26, 93, 32}, "打开", true},
  {"按钮_专辑页面", K::kButton, kPages.View(), 0, {684, 25, 96, 32}, "[查看用户专辑]", false},
  {"超文本浏览框1", K::kWebBrowser, kPages.View(), 0, {12, 69, 896, 521}, "", true},
  // Page 1: albums.
  {"分组框_zhuye", K::kGroupBox, kPages.View(), 1, {6, 21, 902, 59}, "", true},
  {"标签1", K::kLabel, "分组框_zhuye", -1, {9, 23, 69, 24}, "1:用户主页：", true},
  {"编辑框_号码", K::kLineEdit, "分组框_zhuye", -1, {82, 18, 402, 32}, "", true},
  {"按钮_获取相册封面", K::kButton, "分组框_zhuye", -1, {519, 16, 91, 32}, "2：获取相册", true},
  {"按钮_下载选中", K::kButton, "分组框_zhuye", -1, {640, 16, 85, 32}, "3：下载选中", true},
  {"按钮_暂停线程", K::kButton, "分组框_zhuye", -1, {694, 16, 67, 32}, "暂停下载", false},
  {"按钮_继续下载", K::kButton, "分组框_zhuye", -1, {754, 16, 67, 32}, "继续下载", false},
  {"按钮_结束下载", K::kButton, "分组框_zhuye", -1, {828, 16, 64, 32}, "结束下载", false},
  {"分组框_weizhi", K::kGroupBox, kPages.View(), 1, {6, 81, 902, 50}, "", true},
  {"标签_保存路径", K::kLabel, "分组框_weizhi", -1, {8, 12, 112, 32}, "保存位置：", true},
  {"编辑框_保存位置", K::kLineEdit, "分组框_weizhi", -1, {84, 12, 403, 27}, "", true},
  {"按钮_选择位置", K::kButton, "分组框_weizhi", -1, {524, 12, 91, 32}, "选择存放位置", true},
  {"按钮_打开目录", K::kButton, "分组框_weizhi", -1, {645, 11, 79, 32}, "打开目录", true},
  // Runs the last batch again with the record box ticked for that run: only what failed.
  {"按钮_重试失败", K::kButton, "分组框_weizhi", -1, {734, 11, 64, 32}, "重试失败", true},
  {"分组框_liebiao", K::kGroupBox, kPages.View(), 1, {6, 141, 902, 426}, "", true},
  {"选择框_全选", K::kCheckBox, "分组框_liebiao", -1, {16, 22, 46, 16}, "全选", true},
  {"选择框_反选", K::kCheckBox, "分组框_liebiao", -1, {76, 22, 46, 16}, "反选", true},
  {"选择框_有图", K::kCheckBox, "分组框_liebiao", -1, {142, 21, 134, 16}, "有封面图(影响速度)", true},
  {"标签_查找", K::kClickableLabel, "分组框_liebiao", -1, {288, 20, 48, 16}, "查找相册", true},
  {"标签_动态", K::kLabel, "分组框_liebiao", -1, {387, 13, 404, 24}, "", true},
  {"超级列表框1", K::kListView, "分组框_liebiao", -1, {6, 41, 638, 339}, "", true},
  {"画板1", K::kDrawingBoard, "分组框_liebiao", -1, {455, 107, 112, 88}, "", false},
  {"分组框_日志", K::kGroupBox, "分组框_liebiao", -1, {656, 36, 236, 345}, "", true},
  {"标签3", K::kLabel, "分组框_日志", -1, {8, 12, 88, 19}, "执行操作日志：", true},
  {"编辑框_操作记录", K::kMultiLineEdit, "分组框_日志", -1, {12, 45, 208, 292}, "", true},
  {"标签_进度", K::kLabel, "分组框_liebiao", -1, {7, 384, 56, 35}, "下载进度：", true},
  {"进度条1", K::kProgressBar, "分组框_liebiao", -1, {74, 389, 280, 24}, "", true},
  {"标签_进度条比例", K::kLabel, "分组框_liebiao", -1, {359, 390, 41, 23}, "", true},
  {"标签_选择了相册数量", K::kLabel, "分组框_liebiao", -1, {404, 390, 144, 23}, "", true},
  {"标签_正在下载相册", K::kLabel, "分组框_liebiao", -1, {554, 390, 110, 23}, "", true},
  {"标签_第多少张照片", K::kLabel, "分组框_liebiao", -1, {666, 390, 95, 23}, "", true},
  // Page 2: settings.
  {"分组框7", K::kGroupBox, kPages.View(), 2, {14, 24, 876, 544}, "", true},
  {"分组框2", K::kGroupBox, "分组框7", -1, {9, 18, 432, 262}, "常用设置：", true},
  {"标签11", K::kLabel, "分组框2", -1, {9, 20, 56, 32}, "下载模式：", true},
  {"选择框_浏览模式", K::kCheckBox, "分组框2", -1, {83, 25, 52, 24}, "默认", true},
  {"选择框_api模式", K::kCheckBox, "分组框2", -1, {166, 25, 161, 24}, "备用(默认不可用时选)", true},
  {"标签8", K::kLabel, "分组框2", -1, {10, 61, 56, 24}, "图片大小：", true},
  {"单选框_中图", K::kRadioButton, "分组框2", -1, {80, 63, 75, 24}, "中图[快]", true},
  {"单选框_原图", K::kRadioButton, "分组框2", -1, {164, 62, 92, 24}, "原图[慢]", true},
  // The third size, the original ("raw") picture: in the same group, so the three exclude each
  // other, and on the row of the two sizes, which the group box is widened to hold.
  {"单选框_原始尺寸", K::kRadioButton, "分组框2", -1, {262, 62, 160, 24}, "原始尺寸[需登录]", true},
  {"选择框_下载记录", K::kCheckBox, "分组框2", -1, {12, 98, 240, 20}, "开启下载记录（已经下载过的不再下载）", true},
  {"选择框_描述作为文件名", K::kCheckBox, "分组框2", -1, {12, 130, 240, 20}, "图片描述作为文件名（测试版）", true},
  // The least time between two requests to the service, in milliseconds.
  {"标签_请求间隔", K::kLabel, "分组框2", -1, {12, 166, 136, 24}, "请求间隔（毫秒）：", true},
  {"编辑框_请求间隔", K::kLineEdit, "分组框2", -1, {150, 162, 96, 28}, "0", true},
  // Pictures of an album fetched at once (1 to 8).
  {"标签_同时下载", K::kLabel, "分组框2", -1, {12, 200, 136, 24}, "同时下载（张）：", true},
  {"编辑框_同时下载", K::kLineEdit, "分组框2", -1, {150, 196, 96, 28}, "3", true},
  // Off by default: one album.json beside the pictures of every album folder (the group box is
  // made taller to hold this row).
  {"选择框_元数据", K::kCheckBox, "分组框2", -1, {12, 232, 300, 20}, "保存相册信息（album.json）", true},
  {"分组框4", K::kGroupBox, "分组框7", -1, {7, 284, 853, 241}, "软件版本", true},
  {"标签10", K::kLabel, "分组框4", -1, {9, 19, 364, 215}, kHelpText, true},
  {"标签14", K::kLabel, "分组框4", -1, {381, 11, 10, 224}, kBarColumn, true},
  {"标签13", K::kLabel, "分组框4", -1, {650, 11, 6, 224}, kBarColumn, true},
  // The key of the service's API, between the two separators.
  {"标签_接口密钥", K::kLabel, "分组框4", -1, {395, 25, 100, 24}, "API密钥：", true},
  {"编辑框_接口密钥", K::kLineEdit, "分组框4", -1, {395, 52, 245, 28}, "", true},
  {"标签_调试模式", K::kLabel, "分组框4", -1, {9, 187, 40, 24}, "正则：", true},
  {"编辑框_正则", K::kLineEdit, "分组框4", -1, {57, 181, 232, 32}, "", true},
  {"按钮_保存", K::kButton, "分组框4", -1, {297, 180, 64, 32}, "保存", true},
  {"标签5", K::kLabel, "分组框4", -1, {665, 66, 72, 40}, "当前版本：", true},
  {"标签_banben", K::kLabel, "分组框4", -1, {736, 66, 95, 40}, "", true},
  {"标签_xinbanben", K::kLabel, "分组框4", -1, {666, 114, 72, 40}, "最新版本：", true},
  {"标签_zxbanben", K::kLabel, "分组框4", -1, {737, 114, 95, 40}, "", true},
  {"标签_banbenjieguo", K::kLabel, "分组框4", -1, {666, 25, 160, 24}, "", true},
  {"按钮_checknew", K::kButton, "分组框4", -1, {667, 161, 165, 40}, "检测程序是否有更新", true},
  // The album search window, shown on demand.
  {kSearchWindow.View(), K::kWindow, kNoParent, -1, {50, 50, 348, 152}, "查找功能：", false},
  {"标签_要查找的相册名称", K::kLabel, kSearchWindow.View(), -1, {10, 16, 124, 24}, "要查找的相册名称：", true},
  {"编辑框1", K::kLineEdit, kSearchWindow.View(), -1, {136, 12, 198, 28}, "", true},
  {"按钮_查找", K::kButton, kSearchWindow.View(), -1, {10, 54, 100, 32}, "查找", true},
  {"按钮_查找下一个", K::kButton, kSearchWindow.View(), -1, {122, 54, 100, 32}, "下一个", true},
  {"按钮_查找上一个", K::kButton, kSearchWindow.View(), -1, {234, 54, 100, 32}, "上一个", true},
  {"标签_结果", K::kLabel, kSearchWindow.View(), -1, {10, 104, 80, 24}, "查找结果：", true},
  {"标签_行位置", K::kLabel, kSearchWindow.View(), -1, {92, 104, 240, 24}, "", true},
};

constexpr std::string_view kToolbarItems[] = {"一：登录", "", "二：获取相册", "", "三：软件设置"};

constexpr std::string_view kPageCaptions[] = {"  第一步：登录   ", "    第二步：获取相册   ",
                                              "    第三步：软件设置   "};

constexpr ListColumnSpec kColumns[kAlbumListColumns] = {
  {"选择", 60}, {"序号", 40}, {"相册名称", 120}, {"封面", 100},
  {"图片数量", 70}, {"相册ID", 80}, {"相册问题", 80}, {"相册密码", 80},
};
// clang-format on

constexpr std::string_view kListedNames[] = {
#define AK_NAME_TEXT(name) #name,
    AK_CONTROL_NAMES(AK_NAME_TEXT)
#undef AK_NAME_TEXT
};

// The catalogue and the list of names agree entry for entry, and every parent is a listed name.
consteval bool CatalogueMatchesNames() {
  if (std::size(kCatalogue) != std::size(kListedNames)) return false;
  for (std::size_t i = 0; i < std::size(kCatalogue); ++i) {
    if (kCatalogue[i].name != kListedNames[i]) return false;
    if (kCatalogue[i].parent.empty()) continue;
    bool known = false;
    for (std::string_view name : kListedNames) known = known || name == kCatalogue[i].parent;
    if (!known) return false;
  }
  return true;
}
static_assert(CatalogueMatchesNames(), "the catalogue and AK_CONTROL_NAMES disagree");

}  // namespace

std::optional<ControlName> ControlNameOf(std::string_view name) {
  for (std::string_view listed : kListedNames) {
    if (listed == name) return ControlName(ControlName::Tag{}, listed);
  }
  return std::nullopt;
}

std::span<const ControlSpec> ControlCatalogue() { return kCatalogue; }

const ControlSpec* FindControlSpec(std::string_view name) {
  for (const ControlSpec& spec : kCatalogue) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

std::span<const std::string_view> ToolbarItemCaptions() { return kToolbarItems; }

std::span<const std::string_view> PageCaptions() { return kPageCaptions; }

std::span<const ListColumnSpec> AlbumListColumns() { return kColumns; }

}  // namespace ak
