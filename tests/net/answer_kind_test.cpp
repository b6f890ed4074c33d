// The judge of the service's answers: what counts as a refusal, for pages, API answers and
// pictures alike, and how the other answers are told apart.

#include <gtest/gtest.h>

#include <string>

#include "base/codec.h"
#include "net/answer_kind.h"
#include "net/service_config.h"

namespace ak {
namespace {

TEST(RefusalDetection, StatusesPagesAndLoginAddresses) {
  EXPECT_TRUE(IsRefusalStatus(403));
  EXPECT_TRUE(IsRefusalStatus(418));
  for (long status : {0L, 200L, 302L, 404L, 500L}) EXPECT_FALSE(IsRefusalStatus(status)) << status;

  // The marker as the service writes it, in the page's UTF-8.
  EXPECT_TRUE(IsBlockPage("<div>检测到有异常请求从你的 IP 发出，请登录使用豆瓣。</div>"));
  EXPECT_FALSE(IsBlockPage("<div>检测到有异常请求从你的 IP 发出</div>"));
  EXPECT_FALSE(IsBlockPage(""));
  // A GBK page is not converted to the marker by accident.
  EXPECT_FALSE(IsBlockPage(BlockPageMarker()));

  const std::string web = "http://" + WebHost();
  struct Case {
    std::string url;
    bool login;
  };
  const Case cases[] = {
      {web + "/login", true},
      {web + "/login?redir=/photos/album/1/", true},
      {"https://" + WebHost() + ":8443/login", true},
      {"https://accounts.douban.com/passport/login?source=main", true},
      {web + "/passport/login", true},
      {web + "/loginx", false},
      {web + "/photos/album/1/?start=login", false},
      {"http://img1.doubanio.com/login", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsLoginAddress(c.url), c.login) << c.url;

  // Only the service's hosts can refuse the batch.
  for (const std::string& url :
       {web + "/photos/album/1/", "https://" + ApiHost() + "/v2/album/1",
        std::string("http://img3.doubanio.com/view/photo/photo/public/p1.jpg"),
        std::string("https://accounts.douban.com/passport/login")}) {
    EXPECT_TRUE(IsServiceAddress(url)) << url;
  }
  for (const char* url : {"5", "null", "http://5/", "http://notdouban.com/",
                          "http://doubanio.com.evil/x", "http://evildoubanio.com/"}) {
    EXPECT_FALSE(IsServiceAddress(url)) << url;
  }
}

// One table for the three kinds of request: each refusal form is a refusal whether it met a
// page, an API answer or a picture, and the answers that are none keep their kind.
TEST(AnswerKind, SameRefusalRowsForPagesApiAndPictures) {
  const std::string web = "http://" + WebHost();
  const std::string jpeg = "\xFF\xD8\xFF\xE0 picture";
  const std::string blockPage = "<div>检测到有异常请求从你的 IP 发出，请登录使用豆瓣。</div>";
  const std::string loginJump =
      "<html><head><title> 登录跳转页 </title></head><body>正在跳转</body></html>";
  constexpr AnswerKind kRefused = AnswerKind::kRefusal;
  struct Row {
    const char* name;
    bool completed;
    long status;
    std::string effectiveUrl;
    std::string location;
    std::string body;
    AnswerKind page;     // for page and API requests
    AnswerKind picture;  // for picture requests
    RefusalForm form;
    // Asked of a host that is not the service's.
    bool foreign = false;
  };
  const Row rows[] = {
      {"403", true, 403, "", "", "Forbidden", kRefused, kRefused, RefusalForm::kStatus},
      {"418", true, 418, "", "", "", kRefused, kRefused, RefusalForm::kStatus},
      {"block page", true, 200, "", "", blockPage, kRefused, kRefused, RefusalForm::kBlockPage},
      {"block page with 500", true, 500, "", "", blockPage, kRefused, kRefused,
       RefusalForm::kBlockPage},
      {"login redirect not followed", true, 302, "", web + "/login?redir=x", "", kRefused, kRefused,
       RefusalForm::kLoginRedirect},
      {"login redirect followed", true, 200, web + "/login", "", "<form>", kRefused, kRefused,
       RefusalForm::kLoginRedirect},
      {"accounts host", true, 200, "https://accounts.douban.com/passport/login", "", "<form>",
       kRefused, kRefused, RefusalForm::kLoginRedirect},
      {"403 to the security host", true, 403, "", "https://sec.douban.com/b?r=https%3A", "",
       kRefused, kRefused, RefusalForm::kSecurityRedirect},
      {"followed to the security host, which failed", false, 0, "https://sec.douban.com/b?r=1",
       "https://sec.douban.com/b?r=1", "", kRefused, kRefused, RefusalForm::kSecurityRedirect},
      {"login-redirect page", true, 200, "", "", loginJump, kRefused, kRefused,
       RefusalForm::kLoginPage},
      // Not refusals.
      {"403 of another host", true, 403, "", "", "Forbidden", AnswerKind::kOther,
       AnswerKind::kOther, RefusalForm::kNone, true},
      {"redirect to https", true, 200, "https://" + WebHost() + "/photos/", "", "<html>",
       AnswerKind::kPage, AnswerKind::kOther, RefusalForm::kNone},
      {"picture bytes", true, 200, "", "", jpeg, AnswerKind::kPage, AnswerKind::kPicture,
       RefusalForm::kNone},
      {"picture holding the marker", true, 200, "", "", jpeg + blockPage, AnswerKind::kPage,
       AnswerKind::kPicture, RefusalForm::kNone},
      {"the title text outside the title", true, 200, "", "", "<p>登录跳转页</p>",
       AnswerKind::kPage, AnswerKind::kOther, RefusalForm::kNone},
      {"404", true, 404, "", "", "<h1>Not found</h1>", AnswerKind::kNotFound, AnswerKind::kNotFound,
       RefusalForm::kNone},
      {"no answer", false, 0, "", "", "", AnswerKind::kEmpty, AnswerKind::kEmpty,
       RefusalForm::kNone},
      {"200 without a body", true, 200, "", "", "", AnswerKind::kEmpty, AnswerKind::kEmpty,
       RefusalForm::kNone},
      {"500 error page", true, 500, "", "", "<h1>Error</h1>", AnswerKind::kOther,
       AnswerKind::kOther, RefusalForm::kNone},
  };
  const struct {
    RequestKind kind;
    std::string url;
  } requests[] = {
      {RequestKind::kPage, web + "/photos/album/1620000007/?start=0"},
      {RequestKind::kApi, "https://" + ApiHost() + "/v2/album/1620000007/photos?count=1"},
      {RequestKind::kPicture, "http://img3.doubanio.com/view/photo/photo/public/p1.jpg"},
  };
  for (const Row& row : rows) {
    for (const auto& request : requests) {
      ServiceAnswer answer;
      answer.url = row.foreign ? "http://img.example.org/p1.jpg" : request.url;
      answer.completed = row.completed;
      answer.status = row.status;
      answer.effectiveUrl = row.effectiveUrl;
      answer.location = row.location;
      answer.body = row.body;
      const AnswerKind expected = request.kind == RequestKind::kPicture ? row.picture : row.page;
      EXPECT_EQ(JudgeAnswer(request.kind, answer), expected) << row.name << " / " << request.url;
      EXPECT_EQ(RefusalFormOf(answer), row.form) << row.name << " / " << request.url;
    }
  }
}

TEST(AnswerKind, LocationOfTheLastResponse) {
  EXPECT_EQ(LocationOf("HTTP/1.1 302 Found\r\nlocation:  https://a/login \r\n\r\n"
                       "HTTP/1.1 403 Forbidden\r\nLOCATION: https://sec.douban.com/b\r\n\r\n"),
            "https://sec.douban.com/b");
  EXPECT_EQ(LocationOf("HTTP/1.1 200 OK\r\nContent-Location: /x\r\n\r\n"), "");
}

}  // namespace
}  // namespace ak
