#include "net/url_parts.h"

#include <gtest/gtest.h>

namespace ak {
namespace {

struct UrlCase {
  const char* url;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

class UrlPartsTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlPartsTest, SplitsAddress) {
  const UrlCase& c = GetParam();
  EXPECT_EQ(UrlHost(c.url), c.host);
  EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort);
  EXPECT_EQ(UrlPort(c.url), c.port);
  EXPECT_EQ(UrlPath(c.url), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, UrlPartsTest,
    ::testing::Values(
        // Scheme in capitals: HTTPS on 443, the path keeps its letter case.
        UrlCase{"HTTPS://Api.Douban.com/V2/Album/1", "api.douban.com", "api.douban.com", 443,
                "/V2/Album/1"},
        // No scheme: plain HTTP on 80.
        UrlCase{"host/a/b", "host", "host", 80, "/a/b"},
        // Scheme and host only.
        UrlCase{"http://www.douban.com", "www.douban.com", "www.douban.com", 80, "/"},
        UrlCase{"https://www.douban.com/", "www.douban.com", "www.douban.com", 443, "/"},
        // Host in capitals with a port; the query keeps its letter case.
        UrlCase{"http://WWW.Example.COM:8080/Photos/Album/7/?Start=18&X=Y", "www.example.com",
                "www.example.com:8080", 8080, "/Photos/Album/7/?Start=18&X=Y"},
        UrlCase{"https://host:8443", "host", "host:8443", 8443, "/"},
        // A port that is not a number.
        UrlCase{"http://host:abc/x", "host", "host:abc", 0, "/x"},
        // Query and fragment are part of the path.
        UrlCase{"http://h/p?q=1#frag", "h", "h", 80, "/p?q=1#frag"},
        // A host whose name occurs in the scheme is still found after it.
        UrlCase{"https://http/x/Y", "http", "http", 443, "/x/Y"},
        UrlCase{"HTTP://TP:81", "tp", "tp:81", 81, "/"},
        // An address that names http:// later on is not prefixed again.
        UrlCase{"view-source:http://h.com/x", "h.com", "h.com", 80, "/x"},
        // An address inside the query is part of the path: its scheme is not the address's,
        // even when it names the same host.
        UrlCase{"http://h.test/x?u=https://o.test/y", "h.test", "h.test", 80,
                "/x?u=https://o.test/y"},
        UrlCase{"http://a.test/p?r=https://a.test/q", "a.test", "a.test", 80,
                "/p?r=https://a.test/q"},
        UrlCase{"HTTPS://H.test:444/x?u=http://h.test:444/y", "h.test", "h.test:444", 444,
                "/x?u=http://h.test:444/y"},
        UrlCase{"", "", "", 80, "/"}));

TEST(UrlPartsTest, SchemeTestLooksAtFirstFiveCharacters) {
  EXPECT_TRUE(UrlIsSecure("HtTpS://x"));
  EXPECT_TRUE(UrlIsSecure("https"));
  EXPECT_FALSE(UrlIsSecure("http://x"));
  EXPECT_FALSE(UrlIsSecure("x/https://y"));
}

}  // namespace
}  // namespace ak
