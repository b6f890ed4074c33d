// The one send path over canned answers: a refusal in any of its forms holds the work, says so
// once, and after continue the same request goes again; a picture redirected to the login page
// is a refusal too (no fallback request, nothing taken for the picture).

#include "requests/service_send.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <vector>

#include "base/codec.h"
#include "controls/controls.h"
#include "net/service_config.h"
#include "tests/net/fetch_canned_server.h"
#include "tests/support/hang_guard.h"

namespace ak {
namespace {

using test::CannedServer;
using testing::EventuallyTrue;

const std::string kJpeg = "\xFF\xD8\xFF\xE0 a picture";
const std::string kLoginPage = "<html><head><title>登录豆瓣</title></head><form></form></html>";

struct SendCase {
  const char* name;
  RequestKind kind;
  // The first answer, refused.
  std::string refusal;
  // Requests the refused attempt makes (a followed redirect makes two).
  int refusedRequests;
};

class ServiceSendTest : public ::testing::TestWithParam<SendCase> {
 protected:
  void TearDown() override { ReloadServiceConfig(); }
};

const SendCase kCases[] = {
    {"PictureRedirectedToLogin", RequestKind::kPicture,
     CannedServer::Answer(302, "", {"Location: http://www.douban.com/login?redir=p1"}), 2},
    {"Picture403ToTheSecurityHost", RequestKind::kPicture,
     CannedServer::Answer(403, "", {"Location: https://sec.douban.com/b?r=p1"}), 1},
    {"PageIsTheLoginRedirectPage", RequestKind::kPage,
     CannedServer::Answer(200, "<html><head><title>登录跳转页</title></head></html>"), 1},
    {"ApiRedirectedToLogin", RequestKind::kApi,
     CannedServer::Answer(302, "", {"Location: http://www.douban.com/login"}), 2},
};

TEST_P(ServiceSendTest, RefusalHoldsAndContinueSendsTheSameRequestAgain) {
  const SendCase& c = GetParam();
  std::atomic<bool> refusedOnce{false};
  CannedServer server([&](const std::string& request, int, CannedServer::Connection& connection) {
    if (request.starts_with("GET /login")) {
      connection.Send(CannedServer::Answer(200, kLoginPage));
    } else if (!refusedOnce.exchange(true)) {
      connection.Send(c.refusal);
    } else {
      connection.Send(CannedServer::Answer(200, c.kind == RequestKind::kPicture ? kJpeg : "ok"));
    }
  });
  const std::string to = ":127.0.0.1:" + std::to_string(server.port());
  ServiceConfig config;
  config.connectTo = {"www.douban.com:80" + to, "img3.doubanio.com:80" + to};
  SetServiceConfig(config);

  Controls controls;
  WorkerGate gate;
  std::atomic<int> holds{0};
  RefusalHold hold{controls, gate, nullptr, {false, [&] { ++holds; }}};
  hold.heldLine = "held\r\n";
  const std::string url = c.kind == RequestKind::kPicture
                              ? "http://img3.doubanio.com/view/photo/photo/public/p1.jpg"
                              : "http://www.douban.com/photos/album/1/";
  auto sent = std::async(std::launch::async, [&] {
    ServiceSender sender(hold);
    if (c.kind == RequestKind::kPicture) {
      const FetchedPicture picture = sender.SendPicture({url, "", url, url});
      return picture.result == FetchedPicture::Result::kPicture ? picture.bytes : "no picture";
    }
    const std::optional<ServiceSender::Page> page = sender.SendPage(url, c.kind);
    return page ? page->body : "ended";
  });
  ASSERT_TRUE(EventuallyTrue([&] { return gate.Holding(); }));
  EXPECT_EQ(holds.load(), 1);
  EXPECT_EQ(controls.Log(), "held\r\n");
  // Held: no fallback request, nothing more.
  EXPECT_EQ(static_cast<int>(server.Requests().size()), c.refusedRequests);
  gate.Continue();
  EXPECT_EQ(sent.get(), c.kind == RequestKind::kPicture ? kJpeg : "ok");
  EXPECT_EQ(holds.load(), 1);
  EXPECT_EQ(static_cast<int>(server.Requests().size()), c.refusedRequests + 1);
}

INSTANTIATE_TEST_SUITE_P(Forms, ServiceSendTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace ak
