// The batch: which rows become jobs, the selection report, the mode box read per album, the
// source copy, and the state a finished batch leaves.

#include <gtest/gtest.h>

#include "base/worker_gate.h"
#include "download/album_job.h"
#include "download/batch_download.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

using testing::ReadFileBytes;

class BatchDownloadTest : public DownloadTest {
 protected:
  void RunBatch() {
    WorkerGate gate;
    RunBatchDownload(controls_, gate, source_, {programDir_, std::chrono::milliseconds(1)});
  }
  void ExpectIdleButtons() {
    EXPECT_TRUE(controls_.Visible(ctl::按钮_下载选中));
    EXPECT_FALSE(controls_.Visible(ctl::按钮_暂停线程));
    EXPECT_FALSE(controls_.Visible(ctl::按钮_继续下载));
    EXPECT_FALSE(controls_.Visible(ctl::按钮_结束下载));
  }
};

TEST(AlbumJobText, SplitsIntoExactlyThreeFields) {
  const AlbumJob job = SplitAlbumJob("0--@@--http://a/--@@--name--@@--more");
  EXPECT_EQ(job.countSlot, "0");
  EXPECT_EQ(job.address, "http://a/");
  EXPECT_EQ(job.name, "name--@@--more");
  EXPECT_EQ(SplitAlbumJob(JoinAlbumJob({"0", "x", ""})).name, "");
  EXPECT_EQ(JoinAlbumJob({"0", "x", "y"}), "0--@@--x--@@--y");
}

TEST_F(BatchDownloadTest, TickedRowsInListOrderReportAndEndOfBatchState) {
  controls_.SetVisible(ctl::按钮_下载选中, false);
  controls_.SetVisible(ctl::按钮_暂停线程, true);
  controls_.SetVisible(ctl::按钮_结束下载, true);
  AddRow("1", G("　十七张 "), AlbumUrl("1620000007"));
  AddRow("2", G("十八张"), AlbumUrl("1620000008"), false);
  AddRow("3", G("没有地址"), "");
  AddRow("4", G("无封面相册"), AlbumUrl("1620000005"));
  RunBatch();
  const std::string log = LogUtf8();
  EXPECT_TRUE(log.starts_with("正在统计已选中的相册...\r\n当前被选择相册编号:1、3、4、\r\n\r\n"))
      << log;
  EXPECT_TRUE(
      log.ends_with("---完成相册《无封面相册2》下载\r\n\r\n"
                    "本相册：保存2张，跳过（已下载过）0张，失败0张，被拒0张\r\n\r\n"
                    "本次下载：保存19张，跳过（已下载过）0张，失败0张，被拒0张\r\n\r\n"
                    "-------全部下载完毕--------\r\n\r\n"))
      << log;
  // The name was trimmed of both kinds of space before it reached the log.
  EXPECT_NE(log.find("准备下载相册《十七张》"), std::string::npos);
  EXPECT_EQ(Targets("/photos/album/1620000008/").size(), 0u);
  EXPECT_EQ(FilesIn(OwnerFolder() / "十七张17").size(), 17u);
  EXPECT_EQ(FilesIn(OwnerFolder() / "无封面相册2").size(), 2u);
  EXPECT_EQ(GbkToUtf8(controls_.Caption(ctl::标签_选择了相册数量)), "总共需下载[2]个相册");
  EXPECT_EQ(GbkToUtf8(controls_.Caption(ctl::标签_正在下载相册)), "下载到第[2]个相册");
  EXPECT_EQ(GbkToUtf8(controls_.Caption(ctl::标签_第多少张照片)), "下载完成");
  EXPECT_EQ(controls_.Caption(ctl::标签_进度条比例), "100%");
  EXPECT_EQ(controls_.ProgressPosition(ctl::进度条1), controls_.ProgressMaximum(ctl::进度条1));
  ExpectIdleButtons();
  EXPECT_EQ(view_->Messages(), (std::vector<Text>{G("全部下载完毕")}));
  // The store was created once and found by the second album.
  EXPECT_EQ(log.find("防止重复下载数据库创建成功"), log.rfind("防止重复下载数据库创建成功"));
}

TEST_F(BatchDownloadTest, NothingTickedStillEndsTheBatchWithTheFullBar) {
  AddRow("1", G("十七张"), AlbumUrl("1620000007"), false);
  controls_.SetProgressMaximum(ctl::进度条1, 40);
  controls_.SetProgressPosition(ctl::进度条1, 3);
  RunBatch();
  EXPECT_EQ(LogUtf8(),
            "正在统计已选中的相册...\r\n当前未选择任何相册\r\n\r\n"
            "本次下载：保存0张，跳过（已下载过）0张，失败0张，被拒0张\r\n\r\n"
            "-------全部下载完毕--------\r\n\r\n");
  EXPECT_EQ(GbkToUtf8(controls_.Caption(ctl::标签_选择了相册数量)), "总共需下载[0]个相册");
  EXPECT_EQ(controls_.ProgressPosition(ctl::进度条1), 40);
  EXPECT_EQ(view_->Messages().size(), 1u);
  EXPECT_TRUE(Targets().empty());
}

TEST_F(BatchDownloadTest, SecondAlbumCleanedToTheSameFolderDoesNotReplaceTheFirstOnesPictures) {
  AddRow("1", G("相册：甲"), AlbumUrl("1620000010"));
  AddRow("2", G("相册甲"), AlbumUrl("1620000011"));
  RunBatch();
  const std::string first = ReadFileBytes(OwnerFolder() / "相册甲1" / "1__.jpg");
  const std::string second = ReadFileBytes(OwnerFolder() / "相册甲1_1620000011" / "1__.jpg");
  EXPECT_TRUE(first.starts_with("\xFF\xD8\xFF"));
  EXPECT_TRUE(second.starts_with("\xFF\xD8\xFF"));
  EXPECT_NE(first, second);
  EXPECT_NE(LogUtf8().find("照片存入《相册甲1_1620000011》\r\n\r\n"), std::string::npos);
  EXPECT_NE(LogUtf8().find("---完成相册《相册甲1_1620000011》下载"), std::string::npos);
}

// Unticks the browse-mode box the moment the first album's start line reaches the view, as a
// user would while the first album downloads.
class ModeSwitchingView : public HeadlessView {
 public:
  ModeSwitchingView(Controls& controls, std::ostream& out, Text trigger)
      : HeadlessView(controls, out), controls_(controls), trigger_(std::move(trigger)) {}
  void ChangesPending() override {
    HeadlessView::ChangesPending();
    if (!switched_ && controls_.Log().find(trigger_) != Text::npos) {
      switched_ = true;
      controls_.SetChecked(ctl::选择框_浏览模式, false);
    }
  }

 private:
  Controls& controls_;
  Text trigger_;
  std::atomic<bool> switched_{false};
};

TEST_F(BatchDownloadTest, ModeBoxIsReadOncePerAlbum) {
  auto view = std::make_shared<ModeSwitchingView>(controls_, out_, G("准备下载相册《十七张》"));
  controls_.Attach(view);
  AddRow("1", G("十七张"), AlbumUrl("1620000007"));
  AddRow("2", G("十八张"), AlbumUrl("1620000008"));
  RunBatch();
  // The first album went on by pages; the second went through the API.
  EXPECT_EQ(Targets("/photos/album/1620000007/?start=").size(), 1u);
  EXPECT_EQ(Targets("/v2/album/1620000007/").size(), 0u);
  EXPECT_EQ(Targets("/photos/album/1620000008/").size(), 0u);
  EXPECT_EQ(Targets("/v2/album/1620000008/").size(), 2u);
  EXPECT_EQ(FilesIn(OwnerFolder() / "十七张17").size(), 17u);
  EXPECT_EQ(FilesIn(OwnerFolder() / "十八张18").count("1_16200000080001_.jpg"), 1u);
}

}  // namespace
}  // namespace ak::test
