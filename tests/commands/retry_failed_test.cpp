// The retry button: the last batch once more with the record box ticked for that run only, so
// exactly the photos that failed are fetched again.

#include <gtest/gtest.h>

#include <map>

#include "tests/commands/download_commands_fixture.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;

class RetryFailedTest : public DownloadCommandsTest {
 protected:
  std::map<std::string, int> PictureRequests() {
    std::map<std::string, int> counts;
    for (const std::string& target : Targets("/view/photo/")) ++counts[target];
    return counts;
  }
};

TEST_F(RetryFailedTest, FetchesExactlyThePhotosThatFailedAndLeavesTheRecordBoxAsItWas) {
  // Photo 5 comes empty once (a 200 without a picture: no fallback), then whole.
  StartOwnDouble(
      {"--empty-first", "1", "--empty-match", "/view/photo/photo/public/p16200000070005.jpg"});
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  AddRow("2", G("无封面相册"), AlbumUrl("1620000005"));
  DownloadSelectedCommand(ctx_, {1ms});
  ctx_.batch.Wait();
  const int failed = ctx_.lastBatch.Get().outcome.failed;
  ASSERT_EQ(failed, 1);
  const std::size_t savedFirst = Saved("十七张17");
  EXPECT_EQ(savedFirst, 17u - static_cast<std::size_t>(failed));

  // The list changed meanwhile: the rerun is of the last batch, not of the ticks.
  controls_.SetRowChecked(0, false);
  controls_.SetRowChecked(1, false);
  Double().ClearRequests();
  RetryFailedCommand(ctx_, {1ms});
  ctx_.batch.Wait();
  const auto pictures = PictureRequests();
  EXPECT_EQ(pictures.size(), static_cast<std::size_t>(failed));
  for (const auto& [target, count] : pictures) {
    EXPECT_EQ(target, "/view/photo/photo/public/p16200000070005.jpg");
    EXPECT_EQ(count, 1);
  }
  EXPECT_EQ(Saved("十七张17"), 17u);
  EXPECT_EQ(Saved("无封面相册2"), 2u);
  EXPECT_EQ(ctx_.lastBatch.Get().outcome.failed, 0);
  EXPECT_EQ(RecordCount(), 19u);
  EXPECT_FALSE(controls_.Checked(ctl::选择框_下载记录));
  EXPECT_NE(LogUtf8().find("重新下载上次没有下载成功的照片"), std::string::npos);
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
}

TEST_F(RetryFailedTest, NothingToRetryBeforeTheFirstBatch) {
  RetryFailedCommand(ctx_, {1ms});
  EXPECT_FALSE(ctx_.batch.Running());
  EXPECT_NE(LogUtf8().find("还没有可以重试的下载"), std::string::npos);
  EXPECT_TRUE(Targets().empty());
}

}  // namespace
}  // namespace ak::test
