// The API's refusals: which answers are one, which are about the key, and that none of them is
// judged a block of the service (holding would not make a key good).

#include <gtest/gtest.h>

#include "download/api_refusal.h"
#include "net/answer_kind.h"

namespace ak {
namespace {

TEST(ApiRefusal, AnswersThatRefuseAndThoseThatDoNot) {
  const struct {
    const char* answer;
    long long code;  // 0: not a refusal
    bool aboutKey;
  } cases[] = {
      {R"({"msg":"apikey is required","code":131,"request":"GET \/v2\/album\/1\/photos"})", 131,
       true},
      {R"({"msg":"invalid_apikey","code":104,"request":"GET \/v2\/album\/1\/photos"})", 104, true},
      {R"( {"code": 105, "msg": "apikey_is_blocked"})", 105, true},
      {R"({"msg":"need_permission","code":1000,"request":"GET \/v2\/album\/9\/photos"})", 1000,
       false},
      // Nothing there: an album without photos, as the API always answered it.
      {R"({"msg":"uri_not_found","code":1001,"request":"GET \/v2\/album\/\/photos"})", 0, false},
      // A page of photos, even one that carries a code, is no refusal.
      {R"({"code":0,"msg":"ok","photos":[]})", 0, false},
      {R"({"start":0,"count":1,"total":3,"owner":{},"photos":[{"id":"1"}]})", 0, false},
      {"<html>not json</html>", 0, false},
      {R"(["msg","code"])", 0, false},
      {"", 0, false},
  };
  for (const auto& c : cases) {
    const std::optional<ApiRefusal> refusal = ApiRefusalOf(c.answer);
    ASSERT_EQ(refusal.has_value(), c.code != 0) << c.answer;
    // Answered with a 403 by the API host: a refusal of the key is the API's answer, read by
    // the downloader; any other 403 stays a block.
    ServiceAnswer answer{"https://api.douban.com/v2/album/1/photos", true, 403, {}, {}, c.answer};
    EXPECT_EQ(JudgeAnswer(RequestKind::kApi, answer) == AnswerKind::kRefusal, !c.aboutKey)
        << c.answer;
    if (!refusal) continue;
    EXPECT_EQ(refusal->code, c.code) << c.answer;
    EXPECT_EQ(IsApiKeyRefusal(*refusal), c.aboutKey) << c.answer;
  }
}

TEST(ApiRefusal, TheKeyJoinsTheQuery) {
  EXPECT_EQ(WithApiKey("https://a/v2/album/1/photos?count=1", "0df9"),
            "https://a/v2/album/1/photos?count=1&apikey=0df9");
  EXPECT_EQ(WithApiKey("https://a/v2/album/1/photos", "k&y z"),
            "https://a/v2/album/1/photos?apikey=k%26y%20z");
  EXPECT_EQ(WithApiKey("https://a/v2/album/1/photos?count=1", ""),
            "https://a/v2/album/1/photos?count=1");
}

}  // namespace
}  // namespace ak
