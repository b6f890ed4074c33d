#include "commands/layout.h"

namespace ak {
namespace {

int Width(const Controls& c, ControlName name) { return c.Geometry(name).width; }
int Left(const Controls& c, ControlName name) { return c.Geometry(name).left; }

}  // namespace

void LayoutMainWindow(Controls& c, int w) {
  c.SetWidth(ctl::高级选择夹1, w - 20);
  c.SetWidth(ctl::超文本浏览框1, w - 40);
  c.SetLeft(ctl::按钮_专辑页面, w - Width(c, ctl::按钮_专辑页面) - 40);
  c.SetLeft(ctl::按钮_打开, w - Width(c, ctl::按钮_专辑页面) - Width(c, ctl::按钮_打开) - 60);
  c.SetWidth(ctl::编辑框_url, Left(c, ctl::按钮_打开) - 20);
  c.SetWidth(ctl::分组框_liebiao, Width(c, ctl::高级选择夹1) - 20);
  c.SetWidth(ctl::分组框_weizhi, Width(c, ctl::高级选择夹1) - 20);
  c.SetWidth(ctl::分组框_zhuye, Width(c, ctl::高级选择夹1) - 20);
  c.SetWidth(ctl::超级列表框1, Width(c, ctl::分组框_liebiao) - Width(c, ctl::分组框_日志) - 20);
  c.SetLeft(ctl::分组框_日志, Width(c, ctl::分组框_liebiao) - Width(c, ctl::分组框_日志) - 5);
  const int zhuye = Width(c, ctl::分组框_zhuye);
  const int fetchButton = Width(c, ctl::按钮_获取相册封面);
  const int downloadButton = Width(c, ctl::按钮_下载选中);
  c.SetWidth(ctl::编辑框_号码, zhuye - fetchButton - downloadButton - 200);
  c.SetLeft(ctl::按钮_获取相册封面, zhuye - fetchButton - downloadButton - 100);
  c.SetLeft(ctl::按钮_下载选中, zhuye - downloadButton - 80);
  const int downloadLeft = Left(c, ctl::按钮_下载选中);
  c.SetLeft(ctl::按钮_暂停线程, downloadLeft);
  c.SetLeft(ctl::按钮_继续下载, downloadLeft);
  c.SetLeft(ctl::按钮_结束下载, downloadLeft + Width(c, ctl::按钮_下载选中) + 10);
  c.SetWidth(ctl::编辑框_保存位置, Width(c, ctl::编辑框_号码));
  c.SetLeft(ctl::按钮_选择位置, Left(c, ctl::按钮_获取相册封面));
  c.SetLeft(ctl::按钮_打开目录, downloadLeft);
  // The retry button follows the open-folder button, as the end button follows download.
  c.SetLeft(ctl::按钮_重试失败, downloadLeft + Width(c, ctl::按钮_打开目录) + 10);
}

}  // namespace ak
