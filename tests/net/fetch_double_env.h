#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"

namespace ak::test {

// One test double for a whole suite, with the process's service configuration pointed at it.
class DoubleSuite : public ::testing::Test {
 protected:
  static void StartDouble(std::vector<std::string> extraArgs = {}) {
    douban_ = std::make_unique<FakeDouban>(FakeDoubanOptions{.extraArgs = std::move(extraArgs)});
    ASSERT_TRUE(douban_->Start()) << douban_->error();
    douban_->ExportEnvironment();
    ReloadServiceConfig();
  }
  static void StopDouble() { douban_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(douban_ && douban_->running());
    // Another suite may have pointed the configuration elsewhere.
    douban_->ExportEnvironment();
    ReloadServiceConfig();
    douban_->ClearRequests();
  }

  // The requests received since the test began.
  static std::vector<LoggedRequest> Requests() { return douban_->Requests(); }
  static LoggedRequest OnlyRequest() {
    auto requests = Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? LoggedRequest{} : requests.back();
  }

  static inline std::unique_ptr<FakeDouban> douban_;
};

using HeaderList = std::vector<std::pair<std::string, std::string>>;

}  // namespace ak::test
