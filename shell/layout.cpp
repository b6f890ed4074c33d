#include "shell/layout.h"

namespace ak {
namespace {

int Width(const Controls& c, std::string_view name) { return c.Geometry(name).width; }
int Left(const Controls& c, std::string_view name) { return c.Geometry(name).left; }

}  // namespace

void LayoutMainWindow(Controls& c, int w) {
  c.SetWidth("高级选择夹1", w - 20);
  c.SetWidth("超文本浏览框1", w - 40);
  c.SetLeft("按钮_专辑页面", w - Width(c, "按钮_专辑页面") - 40);
  c.SetLeft("按钮_打开", w - Width(c, "按钮_专辑页面") - Width(c, "按钮_打开") - 60);
  c.SetWidth("编辑框_url", Left(c, "按钮_打开") - 20);
  c.SetWidth("分组框_liebiao", Width(c, "高级选择夹1") - 20);
  c.SetWidth("分组框_weizhi", Width(c, "高级选择夹1") - 20);
  c.SetWidth("分组框_zhuye", Width(c, "高级选择夹1") - 20);
  c.SetWidth("超级列表框1", Width(c, "分组框_liebiao") - Width(c, "分组框_日志") - 20);
  c.SetLeft("分组框_日志", Width(c, "分组框_liebiao") - Width(c, "分组框_日志") - 5);
  const int zhuye = Width(c, "分组框_zhuye");
  const int fetchButton = Width(c, "按钮_获取相册封面");
  const int downloadButton = Width(c, "按钮_下载选中");
  c.SetWidth("编辑框_号码", zhuye - fetchButton - downloadButton - 200);
  c.SetLeft("按钮_获取相册封面", zhuye - fetchButton - downloadButton - 100);
  c.SetLeft("按钮_下载选中", zhuye - downloadButton - 80);
  const int downloadLeft = Left(c, "按钮_下载选中");
  c.SetLeft("按钮_暂停线程", downloadLeft);
  c.SetLeft("按钮_继续下载", downloadLeft);
  c.SetLeft("按钮_结束下载", downloadLeft + Width(c, "按钮_下载选中") + 10);
  c.SetWidth("编辑框_保存位置", Width(c, "编辑框_号码"));
  c.SetLeft("按钮_选择位置", Left(c, "按钮_获取相册封面"));
  c.SetLeft("按钮_打开目录", downloadLeft);
}

}  // namespace ak
