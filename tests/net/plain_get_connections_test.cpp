// PlainHttpGet is an HTTP/1.0 exchange: one connection per request. A server that answers it as
// HTTP/1.1 with a Keep-Alive header and then closes (the test double does) must not make the
// next request go out on the dead connection and be sent a second time.

#include <gtest/gtest.h>

#include "net/plain_http_get.h"
#include "tests/net/fetch_double_env.h"

namespace ak::test {
namespace {

class PlainGetConnectionsTest : public DoubleSuite {
 protected:
  static void SetUpTestSuite() { StartDouble(); }
  static void TearDownTestSuite() { StopDouble(); }
};

TEST_F(PlainGetConnectionsTest, EachPictureIsRequestedOnce) {
  const std::string cover = "http://img1.doubanio.com/view/photo/albumcover/public/p";
  const char* ids[] = {"16200000020001", "16200000030001", "16200000040001", "16200000060001"};
  constexpr int kRounds = 10;
  for (int round = 0; round < kRounds; ++round) {
    for (const char* id : ids) {
      int status = 0;
      EXPECT_FALSE(PlainHttpGet(cover + id + ".jpg", &status).empty());
      EXPECT_EQ(status, 200);
    }
  }
  const auto requests = Requests();
  EXPECT_EQ(requests.size(), static_cast<std::size_t>(kRounds) * std::size(ids));
}

}  // namespace
}  // namespace ak::test
