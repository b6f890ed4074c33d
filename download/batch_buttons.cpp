#include "download/batch_buttons.h"

namespace ak {

void ShowIdleButtons(Controls& controls) {
  controls.SetVisible(ctl::按钮_下载选中, true);
  controls.SetVisible(ctl::按钮_暂停线程, false);
  controls.SetVisible(ctl::按钮_继续下载, false);
  controls.SetVisible(ctl::按钮_结束下载, false);
}

void ShowRunningButtons(Controls& controls) {
  controls.SetVisible(ctl::按钮_下载选中, false);
  controls.SetVisible(ctl::按钮_暂停线程, true);
  controls.SetVisible(ctl::按钮_继续下载, false);
  controls.SetVisible(ctl::按钮_结束下载, true);
}

void ShowHeldButtons(Controls& controls) {
  controls.SetVisible(ctl::按钮_下载选中, false);
  controls.SetVisible(ctl::按钮_暂停线程, false);
  controls.SetVisible(ctl::按钮_继续下载, true);
}

void ShowContinuedButtons(Controls& controls) {
  controls.SetVisible(ctl::按钮_下载选中, false);
  controls.SetVisible(ctl::按钮_暂停线程, true);
  controls.SetVisible(ctl::按钮_继续下载, false);
}

}  // namespace ak
