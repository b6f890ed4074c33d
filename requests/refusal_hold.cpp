#include "download/refusal_hold.h"

#include "base/codec.h"
#include "download/batch_buttons.h"

namespace ak {

bool HoldAfterRefusal(AlbumDownloadEnv& env) {
  if (env.gate.Stopped()) return false;
  if (env.endOnRefusal) {
    env.endedByRefusal = true;
    env.controls.AppendLog(
        AK_GBK("豆瓣拒绝了请求（访问太频繁，或需要登录），下载已结束。\r\n\r\n"));
    env.gate.Stop();
    // The batch is over: the buttons of the idle state, as after the end command.
    ShowIdleButtons(env.controls);
    return false;
  }
  // The same state the pause command makes: its buttons first, then the gate.
  ShowHeldButtons(env.controls);
  env.gate.Pause();
  env.controls.AppendLog(
      AK_GBK("豆瓣拒绝了请求（访问太频繁，或需要登录），下载已暂停：请在登录页登录豆瓣，"
             "或等待一段时间，然后按“继续下载”，被拒绝的请求会重新发送。\r\n\r\n"));
  if (env.onRefusalHold) env.onRefusalHold();
  if (!env.gate.Checkpoint()) return false;
  if (env.pacer) env.pacer->BackOff();
  return true;
}

}  // namespace ak
