// The download, pause, continue and end commands over a running batch: the buttons each shows,
// nothing saved after pause or end, continue going on where the pause held, end cutting a
// transfer or a retry wait short.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "commands/command_context.h"
#include "commands/download_commands.h"
#include "download/record_store.h"
#include "tests/commands/download_commands_fixture.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;

TEST_F(DownloadCommandsTest, PauseHoldsWithoutSavingAndContinueGoesOnWhereItHeld) {
  StartOwnDouble({"--slow-ms", "40", "--slow-match", "/view/photo/photo/"});
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  DownloadSelectedCommand(ctx_, {1ms});
  EXPECT_EQ(Shown(), (Buttons{false, true, false, true}));
  ASSERT_TRUE(WaitFor([&] { return Saved("十七张17") >= 2; }));

  PauseDownloadCommand(ctx_);
  EXPECT_EQ(Shown(), (Buttons{false, false, true, true}));
  // A write that had passed its safe point may still land; after that nothing moves.
  std::this_thread::sleep_for(200ms);
  const std::size_t held = Saved("十七张17");
  const std::size_t requested = Targets("/view/photo/").size();
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(Saved("十七张17"), held);
  EXPECT_EQ(Targets("/view/photo/").size(), requested);
  EXPECT_LT(held, 17u);
  EXPECT_TRUE(ctx_.batch.Running());

  ContinueDownloadCommand(ctx_);
  EXPECT_EQ(Shown(), (Buttons{false, true, false, true}));
  ctx_.batch.Wait();
  EXPECT_EQ(FilesIn(OwnerFolder() / "十七张17"), Numbered(17));
  // Each picture was asked for once: the held one was not fetched again.
  EXPECT_EQ(Targets("/view/photo/").size(), 17u);
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  EXPECT_EQ(view_->Messages().size(), 1u);
}

TEST_F(DownloadCommandsTest, EndAbandonsATransferInFlightAndSavesNothingMore) {
  StartOwnDouble({"--slow-ms", "3000", "--slow-match", "/view/photo/photo/public/p16200000070003"});
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  AddRow("2", G("十八张"), AlbumUrl("1620000008"));
  DownloadSelectedCommand(ctx_, {1ms});
  // Photo 3 hangs on one connection while the others go on past it.
  ASSERT_TRUE(
      WaitFor([&] { return !Targets("p16200000070003").empty() && Saved("十七张17") >= 2; }));
  const auto ended = std::chrono::steady_clock::now();
  EndDownloadCommand(ctx_);
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  ctx_.batch.Wait();
  // Far sooner than the slow answer would have come.
  EXPECT_LT(std::chrono::steady_clock::now() - ended, 2500ms);
  const auto files = FilesIn(OwnerFolder() / "十七张17");
  EXPECT_GE(files.size(), 2u);
  EXPECT_EQ(std::count(files.begin(), files.end(), "3__.jpg"), 0);
  EXPECT_TRUE(Targets("/photos/album/1620000008/").empty());
  const std::string log = LogUtf8();
  EXPECT_EQ(log.find("全部下载完毕"), std::string::npos);
  EXPECT_EQ(log.find("---完成相册"), std::string::npos);
  EXPECT_TRUE(view_->Messages().empty());
  // Every whole picture is recorded, the abandoned one is not.
  EXPECT_EQ(RecordCount(), files.size());
}

TEST_F(DownloadCommandsTest, EndCutsARetryWaitShortAndEndsAPausedBatch) {
  StartOwnDouble({"--empty-first", "10", "--empty-match", "/photos/album/1620000007/?start="});
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  DownloadSelectedCommand(ctx_, {std::chrono::milliseconds(60000)});
  ASSERT_TRUE(WaitFor([&] { return !Targets("?start=0").empty(); }));
  EndDownloadCommand(ctx_);
  ctx_.batch.Wait();
  EXPECT_EQ(Targets("?start=0").size(), 1u);

  // A paused batch ends too, with the idle buttons and no closing line.
  controls_.SetChecked(ctl::选择框_浏览模式, true);
  DownloadSelectedCommand(ctx_, {1ms});
  PauseDownloadCommand(ctx_);
  EndDownloadCommand(ctx_);
  ctx_.batch.Wait();
  EXPECT_EQ(Shown(), (Buttons{true, false, false, false}));
  EXPECT_EQ(LogUtf8().find("全部下载完毕"), std::string::npos);
  EXPECT_TRUE(view_->Messages().empty());
}

TEST_F(DownloadCommandsTest, BatchKeepsTheSourceItStartedWith) {
  StartOwnDouble({"--slow-ms", "20", "--slow-match", "/view/photo/photo/"});
  AddRow("1", G("无封面相册"), AlbumUrl("1620000005"));
  AddRow("2", G("十七张"), AlbumUrl("1620000007"));
  DownloadSelectedCommand(ctx_, {1ms});
  // A listing of another person is accepted while the batch runs.
  ctx_.source.Set({"http://www.douban.com/people/xiaoming/", "xiaoming", G("小明")});
  ctx_.batch.Wait();
  EXPECT_EQ(Saved("无封面相册2"), 2u);
  EXPECT_EQ(Saved("十七张17"), 17u);
  EXPECT_FALSE(std::filesystem::exists(temp_.path() / "save" / "小明"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(GbkToUtf8(programDir_)) /
                                       "防止重复下载数据库" / "xiaoming.edb"));
}

}  // namespace
}  // namespace ak::test
