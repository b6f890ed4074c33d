// Faults of the service and of the disk: empty page answers and their retries, error pages
// served as pictures, cut-off and empty pictures, a save folder that cannot be made, a full disk.
// Whatever happens, no file holds anything but a whole picture, and a photo that failed is not
// recorded, so the next run fetches it again.

#include <gtest/gtest.h>

#include <chrono>

#include "base/worker_gate.h"
#include "download/album_by_pages.h"
#include "download/record_store.h"
#include "tests/download/download_fixture.h"
#include "tests/support/full_disk.h"

namespace ak::test {
namespace {

using testing::ReadFileBytes;
using testing::WithFileSizeLimit;
using testing::WriteFileBytes;

class DownloadFaultsTest : public DownloadTest {
 protected:
  BatchTally Download(const std::string& albumId, const char* name,
                      std::chrono::milliseconds retryWait = std::chrono::milliseconds(1),
                      BatchPolicy policy = {}) {
    WorkerGate gate;
    AlbumDownloadEnv env{controls_, gate, source_, programDir_, retryWait, policy};
    AlbumJob job{"0", AlbumUrl(albumId), G(name)};
    BatchTally tally;
    EXPECT_TRUE(DownloadAlbumByPages(env, tally, job));
    return tally;
  }
  std::filesystem::path TravelFolder() const { return OwnerFolder() / "旅行20"; }
};

TEST_F(DownloadFaultsTest, EmptyPageAnswersAreTriedTenTimesWithTheWaitBetween) {
  StartOwnDouble({"--empty-first", "9", "--empty-match", "/photos/album/1620000008/?start="});
  const auto begin = std::chrono::steady_clock::now();
  Download("1620000008", "十八张", std::chrono::milliseconds(20));
  const auto took = std::chrono::steady_clock::now() - begin;
  // Nine empty answers, then the page on the tenth attempt: all 18 photos.
  EXPECT_EQ(Targets("?start=0").size(), 10u);
  EXPECT_EQ(Targets("?start=18").size(), 10u);
  EXPECT_EQ(FilesIn(OwnerFolder() / "十八张18"), Numbered(18));
  // Eighteen waits happened (nine on each page).
  EXPECT_GE(took, std::chrono::milliseconds(18 * 20));
}

TEST_F(DownloadFaultsTest, TenEmptyAnswersLoseThePageAndTheWalkGoesOn) {
  StartOwnDouble({"--empty-first", "10", "--empty-match", "/photos/album/1620000009/?start=0"});
  Download("1620000009", "十九张");
  EXPECT_EQ(Targets("?start=0").size(), 10u);
  EXPECT_EQ(Targets("?start=18").size(), 1u);
  // The second page's photo keeps its running number.
  EXPECT_EQ(FilesIn(OwnerFolder() / "十九张19"), (std::set<std::string>{"19__.jpg"}));
}

TEST_F(DownloadFaultsTest, ErrorPagesAndBrokenPicturesAreNeitherSavedNorRecorded) {
  StartOwnDouble({"--picture-error", "2155058362=200", "--cut-off",
                  "/view/photo/photo/public/p2155058361.jpg", "--empty-first", "5", "--empty-match",
                  "/view/photo/photo/public/p2155058364.jpg"});
  Download("1620000001", "旅行");
  std::set<std::string> expected = Numbered(20);
  for (const char* failed : {"1__.jpg", "2__.jpg", "4__.jpg"}) expected.erase(failed);
  // No error page as .jpg, no half picture, no empty file, no temporary file left behind.
  EXPECT_EQ(FilesIn(TravelFolder()), expected);
  EXPECT_NE(LogUtf8().find(
                "---完成相册《旅行20》下载\r\n\r\n本相册：保存17张，跳过（已下载过）0张，失败3张，"
                "被拒0张\r\n\r\n相册《旅行20》有3张照片没有下载成功"),
            std::string::npos)
      << LogUtf8();

  // The next run with the record box ticked fetches the three again, and only them.
  Double().ClearRequests();
  controls_.SetChecked(ctl::选择框_下载记录, true);
  Download("1620000001", "旅行");
  std::set<std::string> fetched;
  for (const std::string& target : Targets("/view/photo/")) fetched.insert(target);
  EXPECT_EQ(fetched, (std::set<std::string>{"/view/photo/photo/public/p2155058361.jpg",
                                            "/view/photo/photo/public/p2155058362.jpg",
                                            "/view/photo/photo/public/p2155058364.jpg"}));
}

TEST_F(DownloadFaultsTest, LargeMissingAndMediumBrokenFailsWithoutAFile) {
  StartOwnDouble({"--picture-error", "2155058365=404"});
  controls_.SetChecked(ctl::单选框_中图, false);
  controls_.SetChecked(ctl::单选框_原图, true);
  Download("1620000001", "旅行");
  // Large 404, then the plain fetch of the medium picture answers 404 too.
  EXPECT_EQ(FilesIn(TravelFolder()).count("5__.jpg"), 0u);
  EXPECT_EQ(FilesIn(TravelFolder()).size(), 19u);
}

TEST_F(DownloadFaultsTest, AlbumFolderThatCannotBeMadeFailsTheAlbumBeforeAnyPicture) {
  // A file where the save folder should be: no folder can be made beneath it.
  WriteFileBytes(temp_.path() / "not-a-folder", "x");
  controls_.SetCaption(ctl::编辑框_保存位置, Gbk(temp_.path() / "not-a-folder"));
  const BatchTally tally = Download("1620000007", "十七张");
  const std::string log = LogUtf8();
  const std::string line = "相册《十七张17》下载失败：无法创建文件夹 " +
                           (temp_.path() / "not-a-folder").string() + "/阿华Hua　小站/十七张17/（";
  EXPECT_NE(log.find(line), std::string::npos) << log;
  EXPECT_NE(log.find("Not a directory"), std::string::npos) << log;
  EXPECT_EQ(log.find("照片无法保存"), std::string::npos) << log;
  EXPECT_TRUE(Targets("/view/photo/").empty());
  EXPECT_EQ(tally.failedAlbums, 1);
}

TEST_F(DownloadFaultsTest, RecordThatCannotBeWrittenIsSaidAndCounted) {
  // A file where the record folder should be: no store can be made, and none opened.
  WriteFileBytes(temp_.path() / "program" / "防止重复下载数据库", "x");
  const BatchTally tally = Download("1620000007", "十七张");
  EXPECT_EQ(FilesIn(OwnerFolder() / "十七张17"), Numbered(17));
  EXPECT_EQ(tally.savedPhotos, 17);
  EXPECT_EQ(tally.unrecordedPhotos, 17);
  const std::string log = LogUtf8();
  EXPECT_NE(log.find("防止重复下载数据库创建失败\r\n"), std::string::npos) << log;
  const std::string line =
      "相册《十七张17》有17张照片已保存，但没有记入下载记录：下载记录无法打开（";
  EXPECT_NE(log.find(line), std::string::npos) << log;
  EXPECT_EQ(log.find(line), log.rfind(line));
  EXPECT_NE(log.find("下次下载这个相册时会重新获取这些照片"), std::string::npos) << log;
}

TEST_F(DownloadFaultsTest, StalledPictureTimesOutWithinItsLimitAndSaysSo) {
  StartOwnDouble(
      {"--slow-ms", "3000", "--slow-match", "/view/photo/photo/public/p16200000070003.jpg"});
  BatchPolicy policy;
  policy.pictureLimits = {std::chrono::milliseconds(300), std::chrono::milliseconds(700)};
  const BatchTally tally = Download("1620000007", "十七张", std::chrono::milliseconds(1), policy);
  // The first request and its fallback, both given up.
  EXPECT_EQ(Targets("/view/photo/photo/public/p16200000070003.jpg").size(), 2u);
  EXPECT_EQ(tally.failedPhotos, 1);
  std::set<std::string> expected = Numbered(17);
  expected.erase("3__.jpg");
  EXPECT_EQ(FilesIn(OwnerFolder() / "十七张17"), expected);
  const std::string log = LogUtf8();
  EXPECT_NE(log.find("第3张照片下载超时（1秒内没有收到图片）：http://"), std::string::npos) << log;
}

TEST_F(DownloadFaultsTest, FullDiskLeavesNoPartOfAPicture) {
  // Make the store first, so the only writes under the limit are pictures.
  DownloadRecordStore store;
  ASSERT_TRUE(store.OpenForSource(programDir_ + "/" + DownloadRecordStore::FolderName(), "ahua"));
  store.Close();
  const int status = WithFileSizeLimit(600, [&] {
    Download("1620000007", "十七张");
    const std::string log = LogUtf8();
    return FilesIn(OwnerFolder() / "十七张17").empty() &&
           log.find("有17张照片没有下载成功") != std::string::npos;
  });
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace ak::test
