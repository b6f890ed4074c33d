#include "commands/version_check.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <sstream>

#include "base/codec.h"
#include "controls/headless_view.h"
#include "tests/support/hang_guard.h"

namespace ak {
namespace {

using testing::EventuallyTrue;
using testing::MustEnd;

// An update-page fetch that counts its calls and can be held until released.
class HeldFetch {
 public:
  explicit HeldFetch(Bytes page) : page_(std::move(page)) {}

  UpdatePageFetch Fetch() {
    return [this] {
      std::unique_lock lock(mutex_);
      ++calls_;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !held_; });
      return page_;
    };
  }
  void Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void Release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    changed_.notify_all();
  }
  // Waits until the fetch has been called `count` times in all.
  void AwaitCalls(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return calls_ >= count; });
  }
  int calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  int calls_ = 0;
  const Bytes page_;
};

class VersionCheck : public ::testing::Test {
 protected:
  VersionCheck() {
    controls_.SetCaption(ctl::标签_banben, "2.0");
    controls_.Attach(view_);
  }
  ~VersionCheck() override { controls_.Detach(); }

  Controls controls_;
  std::ostringstream out_;
  std::shared_ptr<HeadlessView> view_ = std::make_shared<HeadlessView>(controls_, out_);
};

TEST_F(VersionCheck, VerdictsOfTheUpdatePage) {
  const Text kNewer = AK_GBK("有新版，联系客服获取最新版！");
  const struct {
    const char* page;
    Text latest;
    Text verdict;  // as left by a first check that found "2.0"
    bool message;
  } cases[] = {
      {"x#douban@@2.0#douban", "2.0", AK_GBK("无需更新"), false},
      {"#douban@@3.0#douban", "3.0", kNewer, true},
      {"#douban@@2.5#douban", "2.5", AK_GBK("无需更新"), false},  // same whole number
      {"#douban@@1.0#douban", "1.0", AK_GBK("无需更新"), false},
      {"#douban@@beta#douban", "beta", AK_GBK("无需更新"), false},
      {"#other@@9.0#other", "", AK_GBK("无需更新"), false},
      {"", "", AK_GBK("无需更新"), false},  // the fetch failed
      // The difference is worked out without overflow at the ends of the whole-number range.
      {"#douban@@-99999999999#douban", "-99999999999", AK_GBK("无需更新"), false},
      {"#douban@@-2147483648#douban", "-2147483648", AK_GBK("无需更新"), false},
      {"#douban@@99999999999#douban", "99999999999", kNewer, true},
      {"#douban@@\xA3\xB3.0#douban", "\xA3\xB3.0", kNewer, true},  // full-width three
  };
  for (const auto& c : cases) {
    controls_.SetCaption(ctl::标签_banbenjieguo, Text());
    CheckForUpdate(
        controls_, [] { return Bytes("#douban@@2.0#douban"); }, "douban");
    const std::size_t messages_before = view_->Messages().size();
    const Bytes page = c.page;
    CheckForUpdate(
        controls_, [&page] { return page; }, "douban");
    EXPECT_EQ(controls_.Caption(ctl::标签_zxbanben), c.latest) << c.page;
    EXPECT_EQ(controls_.Caption(ctl::标签_banbenjieguo), c.verdict) << c.page;
    const std::vector<Text> messages = view_->Messages();
    ASSERT_EQ(messages.size(), messages_before + (c.message ? 1 : 0)) << c.page;
    if (c.message) {
      EXPECT_EQ(messages.back(), AK_GBK("有新版本，联系客服索取"));
    }
  }
}

TEST_F(VersionCheck, OneCheckAtATimeAndAgainAfterItEnded) {
  HeldFetch fetch("#douban@@3.0#douban");
  VersionCheckRunner runner(controls_, fetch.Fetch(), "douban");
  EXPECT_FALSE(runner.Running());
  EXPECT_EQ(runner.Started(), 0);
  fetch.Hold();
  ASSERT_TRUE(runner.Start());
  fetch.AwaitCalls(1);
  EXPECT_TRUE(runner.Running());
  EXPECT_FALSE(runner.Start()) << "a check is running";
  EXPECT_EQ(runner.Started(), 1);
  EXPECT_EQ(controls_.Caption(ctl::标签_zxbanben), Text()) << "no result before the fetch ends";
  fetch.Release();
  ASSERT_TRUE(EventuallyTrue([&] { return !runner.Running(); }));
  EXPECT_EQ(controls_.Caption(ctl::标签_zxbanben), "3.0") << "results are in once it ended";
  EXPECT_EQ(fetch.calls(), 1);

  ASSERT_TRUE(runner.Start());
  ASSERT_TRUE(EventuallyTrue([&] { return !runner.Running(); }));
  EXPECT_EQ(runner.Started(), 2);
  EXPECT_EQ(fetch.calls(), 2);
}

TEST_F(VersionCheck, DestructorWaitsForARunningCheck) {
  HeldFetch fetch("#douban@@2.0#douban");
  auto runner = std::make_unique<VersionCheckRunner>(controls_, fetch.Fetch(), "douban");
  fetch.Hold();
  ASSERT_TRUE(runner->Start());
  fetch.AwaitCalls(1);
  std::atomic<bool> destroyed{false};
  std::thread destroyer([&] {
    runner.reset();
    destroyed = true;
  });
  // The destructor cannot return while the fetch is held; once released, it returns with the
  // check's results written.
  EXPECT_FALSE(destroyed);
  fetch.Release();
  MustEnd("destroying the runner", [&] { destroyer.join(); });
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(controls_.Caption(ctl::标签_banbenjieguo), AK_GBK("无需更新"));
}

}  // namespace
}  // namespace ak
