#include "albums/listing_requests.h"

#include "base/codec.h"

namespace ak {

RefusalHold ListingHold(Controls& controls, WorkerGate& gate, RefusalPolicy policy) {
  RefusalHold hold{controls, gate, nullptr, std::move(policy)};
  hold.heldLine = AK_GBK(
      "豆瓣拒绝了请求（访问太频繁，或需要登录），相册列表的获取已暂停：请在登录页登录豆瓣，"
      "或等待一段时间，然后按“继续下载”，被拒绝的请求会重新发送；按“结束下载”停止获取相册列表。"
      "\r\n\r\n");
  hold.endedLine =
      AK_GBK("豆瓣拒绝了请求（访问太频繁，或需要登录），相册列表的获取已结束。\r\n\r\n");
  hold.showHeld = [&controls] {
    controls.SetVisible(ctl::按钮_下载选中, false);
    controls.SetVisible(ctl::按钮_暂停线程, false);
    controls.SetVisible(ctl::按钮_继续下载, true);
    controls.SetVisible(ctl::按钮_结束下载, true);
  };
  hold.showEnded = [&controls] {
    controls.SetCaption(ctl::标签_动态, AK_GBK("相册列表获取已结束：豆瓣拒绝了请求"));
  };
  return hold;
}

std::optional<ServiceSender::Page> SendListingPage(RefusalHold& hold, ListingIo& io,
                                                   const Text& url) {
  ServiceSender sender(hold, [&io](const Text& address, std::stop_token stop) {
    return io.FetchPageAnswer(address, std::move(stop));
  });
  return sender.SendPage(url);
}

}  // namespace ak
