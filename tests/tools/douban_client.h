#pragma once

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_douban_process.h"

namespace ak::test {

// What a request to the double came back with.
struct Fetched {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string body;
  std::string contentType;
  std::string location;    // Location header of a redirect
  std::string headerText;  // the answer's header lines as received
};

struct FetchOptions {
  std::vector<std::string> headers{};  // "Name: value", sent in this order
  std::string postFields{};            // non-empty: a POST with this form body
  std::string cookie{};
  bool http10 = false;
  bool followRedirects = false;
  long timeoutMs = 20000;
};

// Fetches a real service address (http://www.douban.com/..., https://api.douban.com/...)
// through the double's ports with libcurl, trusting its certificate.
Fetched Fetch(const FakeDouban& douban, const std::string& url, const FetchOptions& options = {});

// A suite whose tests share one double with the default fixture, started once for the suite.
class SharedDoubleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    douban_ = new FakeDouban();
    ASSERT_TRUE(douban_->Start()) << douban_->error();
  }
  static void TearDownTestSuite() {
    delete douban_;
    douban_ = nullptr;
  }
  static inline FakeDouban* douban_ = nullptr;
};

}  // namespace ak::test
