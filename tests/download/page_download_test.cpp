// The page-scraping downloader against the service test double: the requests it makes, the files
// it writes and where, the picture sizes with their fallbacks, descriptions as file names and the
// record store.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/worker_gate.h"
#include "download/album_by_pages.h"
#include "download/record_store.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

using testing::ReadFileBytes;

class PageDownloadTest : public DownloadTest {
 protected:
  // Runs the page downloader on one album; the job as it came back.
  AlbumJob Download(const std::string& albumId, const char* name) {
    WorkerGate gate;
    AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
    AlbumJob job{"0", AlbumUrl(albumId), G(name)};
    BatchTally tally;
    EXPECT_TRUE(DownloadAlbumByPages(env, tally, job));
    return job;
  }
  // The ids recorded in the source's store.
  std::size_t RecordCount() {
    DownloadRecordStore store;
    if (!store.OpenFile(std::filesystem::path(GbkToUtf8(programDir_)) / "防止重复下载数据库" /
                        "ahua.edb")) {
      return 0;
    }
    return store.record_count();
  }
};

TEST_F(PageDownloadTest, WalksPagesOfEighteenAndNamesFilesByRunningNumber) {
  const AlbumJob job = Download("1620000002", "春天（上）：樱花！");
  EXPECT_EQ(Targets("/photos/album/"),
            (std::vector<std::string>{
                "/photos/album/1620000002/", "/photos/album/1620000002/?start=0",
                "/photos/album/1620000002/?start=18", "/photos/album/1620000002/?start=36"}));
  EXPECT_EQ(Targets("/view/photo/").size(), 36u);
  EXPECT_EQ(Targets("/view/photo/photo/public/p16200000020001.jpg").size(), 1u);
  EXPECT_EQ(job.countSlot, "36");
  EXPECT_EQ(GbkToUtf8(job.name), "春天上樱花36");
  EXPECT_EQ(FilesIn(OwnerFolder() / "春天上樱花36"), Numbered(36));
  EXPECT_EQ(LogUtf8(),
            "未勾选了防止重复下载功能\r\n\r\n防止重复下载数据库创建成功\r\n"
            "准备下载相册《春天（上）：樱花！》\r\n\r\n---完成相册《春天上樱花36》下载\r\n\r\n"
            "本相册：保存36张，跳过（已下载过）0张，失败0张，被拒0张\r\n\r\n");
  EXPECT_EQ(controls_.ProgressMaximum(ctl::进度条1), 36);
  EXPECT_EQ(controls_.ProgressPosition(ctl::进度条1), 36);
  EXPECT_EQ(controls_.Caption(ctl::标签_进度条比例), "100%");
  EXPECT_EQ(controls_.Caption(ctl::标签_第多少张照片), "");
  EXPECT_EQ(RecordCount(), 36u);
}

TEST_F(PageDownloadTest, PageCountEdgesAndPictureRequestCarriesThePhotosHeaderBlock) {
  struct Case {
    const char* id;
    const char* name;
    std::vector<std::string> starts;
  };
  for (const Case& c :
       {Case{"1620000007", "十七张", {"0"}}, Case{"1620000008", "十八张", {"0", "18"}},
        Case{"1620000009", "十九张", {"0", "18"}}}) {
    Double().ClearRequests();
    Download(c.id, c.name);
    std::vector<std::string> expected = {"/photos/album/" + std::string(c.id) + "/"};
    for (const auto& start : c.starts) expected.push_back(expected[0] + "?start=" + start);
    EXPECT_EQ(Targets("/photos/album/"), expected) << c.id;
  }
  const auto requests = Double().Requests();
  const auto picture = std::find_if(requests.begin(), requests.end(), [](const auto& r) {
    return r.target == "/view/photo/photo/public/p16200000090019.jpg";
  });
  ASSERT_NE(picture, requests.end());
  EXPECT_EQ(picture->Header("Referer"), "http://www.douban.com/photos/photo/16200000090019/large");
  EXPECT_EQ(picture->Header("DNT"), "1");
}

TEST_F(PageDownloadTest, LargeSizeFallsBackToTheMediumPictureWhenTheLargeOneIsMissing) {
  controls_.SetChecked(ctl::单选框_中图, false);
  controls_.SetChecked(ctl::单选框_原图, true);
  Download("1620000001", "旅行/2015 夏天");
  // Photo 5 has no large picture: its large request answers 404, then the medium one is fetched
  // by the plain transport and saved under the same name.
  const std::vector<std::string> pictures = Targets("/view/photo/");
  EXPECT_EQ(
      std::count(pictures.begin(), pictures.end(), "/view/photo/large/public/p2155058365.jpg"), 1);
  EXPECT_EQ(
      std::count(pictures.begin(), pictures.end(), "/view/photo/photo/public/p2155058365.jpg"), 1);
  EXPECT_EQ(pictures.size(), 21u);
  const auto folder = OwnerFolder() / "旅行2015夏天20";
  EXPECT_EQ(FilesIn(folder), Numbered(20));
  const std::string medium = ReadFileBytes(folder / "5__.jpg");
  const std::string large = ReadFileBytes(folder / "1__.jpg");
  EXPECT_TRUE(medium.starts_with("\xFF\xD8\xFF"));
  EXPECT_NE(medium, ReadFileBytes(folder / "6__.jpg"));
  EXPECT_TRUE(large.starts_with("\xFF\xD8\xFF"));
}

TEST_F(PageDownloadTest, DescriptionsNameFilesAndTooLongOnesAreCutToTheNameLimit) {
  controls_.SetChecked(ctl::选择框_描述作为文件名, true);
  Download("1620000001", "旅行/2015 夏天");
  const std::set<std::string> files = FilesIn(OwnerFolder() / "旅行2015夏天20");
  // The title attribute is taken as the page has it, entities included.
  EXPECT_TRUE(files.count("1_他说&quot;你好&quot;然后走了_.jpg"))
      << ::testing::PrintToString(files);
  // Descriptions with a GBK trail byte of 0x5C (運, 誠) or 0x7C (質, 縷) keep those characters.
  EXPECT_TRUE(files.count("4_好運連連 誠意十足 質量上乘 千絲萬縷_.jpg"));
  // 240 GBK bytes are 360 bytes of UTF-8, beyond the file system's 255: the description is cut
  // on a character boundary, the running number and "_.jpg" stay.
  EXPECT_FALSE(files.count("3_.jpg"));
  const auto cut = std::find_if(files.begin(), files.end(), [](const std::string& name) {
    return name.starts_with("3_") && name.size() > 200;
  });
  ASSERT_NE(cut, files.end()) << ::testing::PrintToString(files);
  EXPECT_TRUE(cut->starts_with("3_这是一段很长的描述用来检查文件名的长度限制这是")) << *cut;
  EXPECT_TRUE(cut->ends_with("_.jpg")) << *cut;
  EXPECT_LE(cut->size(), 255u);
  EXPECT_GT(cut->size(), 252u);
  EXPECT_TRUE(files.count("7_照片 7_.jpg"));
  EXPECT_EQ(files.size(), 20u);
}

TEST_F(PageDownloadTest, RecordsWhileTheBoxIsOffAndSkipsEverythingOnceItIsTicked) {
  Download("1620000007", "十七张");
  EXPECT_EQ(RecordCount(), 17u);
  std::filesystem::remove_all(OwnerFolder());
  Double().ClearRequests();
  controls_.SetChecked(ctl::选择框_下载记录, true);
  Download("1620000007", "十七张");
  EXPECT_TRUE(Targets("/view/photo/").empty());
  EXPECT_TRUE(FilesIn(OwnerFolder() / "十七张17").empty());
  EXPECT_EQ(RecordCount(), 17u);
  EXPECT_NE(LogUtf8().find("已经勾选了防止重复下载功能"), std::string::npos);
}

// An album page showing a count of 0 is an empty album, skipped without a word; one that shows
// no count (no album page of the service at all) or a count that is no number fails the album
// with a line that says why.
TEST_F(PageDownloadTest, AlbumPageWithoutAUsableCountFailsTheAlbumWithAReason) {
  struct Case {
    std::vector<std::string> faults;
    std::string album;
    const char* line;  // empty: skipped silently, not failed
  };
  const std::vector<Case> cases = {
      {{"--photo-count", "0"}, "1620000007", ""},
      {{}, "1999999998", "相册《不存在》下载失败：相册页面上找不到照片数"},
      {{"--garbage", "/photos/album/"},
       "1620000007",
       "相册《不存在》下载失败：相册页面上找不到照片数"},
      {{"--photo-count", "许多"},
       "1620000007",
       "相册《不存在》下载失败：相册页面上的照片数不是数字"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.album + " " + (c.faults.empty() ? "" : c.faults[0]));
    StartOwnDouble(c.faults);
    const std::size_t logBefore = LogUtf8().size();
    WorkerGate gate;
    AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
    AlbumJob job{"0", AlbumUrl(c.album), G("不存在")};
    BatchTally tally;
    EXPECT_TRUE(DownloadAlbumByPages(env, tally, job));
    EXPECT_EQ(Targets(), (std::vector<std::string>{"/photos/album/" + c.album + "/"}));
    EXPECT_FALSE(std::filesystem::exists(OwnerFolder()));
    EXPECT_EQ(tally.failedAlbums, *c.line ? 1 : 0);
    const std::string log = LogUtf8().substr(logBefore);
    if (*c.line) {
      EXPECT_NE(log.find(c.line), std::string::npos) << log;
    } else {
      EXPECT_EQ(log, "未勾选了防止重复下载功能\r\n\r\n防止重复下载数据库创建成功\r\n");
    }
  }
}

TEST_F(PageDownloadTest, UserPatternReplacesTheBuiltInOne) {
  // Matches only the photos whose id ends in 1, with the same three groups.
  controls_.SetCaption(
      ctl::编辑框_正则,
      R"re(title="([^"]*)">\s*<img src="(.*?)/view/photo/thumb/public/p(\d*1).jpg")re");
  Download("1620000002", "春天");
  // Matches 1 and 2 of the first page, 1 and 2 of the second (running numbers 19 and 20).
  EXPECT_EQ(FilesIn(OwnerFolder() / "春天36"),
            (std::set<std::string>{"1__.jpg", "2__.jpg", "19__.jpg", "20__.jpg"}));
  EXPECT_EQ(Targets("/view/photo/photo/public/p16200000020011.jpg").size(), 1u);
}

}  // namespace
}  // namespace ak::test
