// The JSON API downloader against the service test double: total and page requests, file names
// with the photo id, the size choice, descriptions, and answers the service should never give.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/worker_gate.h"
#include "download/album_by_api.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class ApiDownloadTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    controls_.SetChecked(ctl::选择框_浏览模式, false);
  }
  AlbumJob Download(const std::string& address, const char* name) {
    WorkerGate gate;
    AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
    AlbumJob job{"0", address, G(name)};
    BatchTally tally;
    EXPECT_TRUE(DownloadAlbumByApi(env, tally, job));
    return job;
  }
  // Every file below the test's folder, as paths relative to it.
  std::set<std::string> AllFiles() {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temp_.path())) {
      if (entry.is_regular_file()) {
        files.insert(std::filesystem::relative(entry.path(), temp_.path()).string());
      }
    }
    return files;
  }
};

TEST_F(ApiDownloadTest, AsksForTheTotalThenPagesOfAHundredAndNamesFilesWithTheId) {
  const AlbumJob job = Download(AlbumUrl("1620000004"), "A&B");
  EXPECT_EQ(Targets("/v2/album/"),
            (std::vector<std::string>{"/v2/album/1620000004/photos?count=1",
                                      "/v2/album/1620000004/photos?start=0&count=100",
                                      "/v2/album/1620000004/photos?start=100&count=100",
                                      "/v2/album/1620000004/photos?start=200&count=100"}));
  EXPECT_EQ(job.address, "1620000004");
  EXPECT_EQ(job.countSlot, "250");
  EXPECT_EQ(job.name, "AB250");
  std::set<std::string> expected;
  for (int i = 1; i <= 250; ++i) {
    char id[32];
    std::snprintf(id, sizeof id, "1620000004%04d", i);
    expected.insert(std::to_string(i) + "_" + id + "_.jpg");
  }
  EXPECT_EQ(FilesIn(OwnerFolder() / "AB250"), expected);
  EXPECT_EQ(controls_.Caption(ctl::标签_进度条比例), "100%");
  EXPECT_EQ(LogUtf8(),
            "未勾选了防止重复下载功能\r\n\r\n防止重复下载数据库创建成功\r\n"
            "准备下载相册《A&B》\r\n\r\n---完成相册《AB250》下载\r\n\r\n"
            "本相册：保存250张，跳过（已下载过）0张，失败0张，被拒0张\r\n\r\n");
}

TEST_F(ApiDownloadTest, LargeSizeUsesTheImageAddressWhenTheAnswerHasNoLargeOneAndAskForHttp) {
  controls_.SetChecked(ctl::单选框_中图, false);
  controls_.SetChecked(ctl::单选框_原图, true);
  Download(AlbumUrl("1620000001"), "旅行");
  const std::vector<std::string> pictures = Targets("/view/photo/");
  ASSERT_EQ(pictures.size(), 20u);
  EXPECT_EQ(pictures[4], "/view/photo/photo/public/p2155058365.jpg");
  EXPECT_EQ(pictures[5], "/view/photo/large/public/p2155058366.jpg");
  for (const LoggedRequest& request : Double().Requests()) {
    if (request.target.starts_with("/view/")) {
      EXPECT_EQ(request.scheme, "http") << request.target;
    }
  }
  EXPECT_EQ(FilesIn(OwnerFolder() / "旅行20").size(), 20u);
}

TEST_F(ApiDownloadTest, DescriptionsComeFromTheJsonTextAndSurviveTrailBytesOfBackslash) {
  controls_.SetChecked(ctl::选择框_描述作为文件名, true);
  Download(AlbumUrl("1620000001"), "旅行");
  const std::set<std::string> files = FilesIn(OwnerFolder() / "旅行20");
  for (const char* name : {"1_他说你好然后走了_.jpg", "2_第一行第二行第三行_.jpg",
                           "4_好運連連 誠意十足 質量上乘 千絲萬縷_.jpg", "5_null_.jpg"}) {
    EXPECT_TRUE(files.count(name)) << name << " in " << ::testing::PrintToString(files);
  }
  // The description of 240 bytes is cut to the file system's name limit, not dropped.
  EXPECT_EQ(std::count_if(files.begin(), files.end(),
                          [](const std::string& name) {
                            return name.starts_with("3_这是一段很长的描述") &&
                                   name.ends_with("_.jpg") && name.size() <= 255;
                          }),
            1);
  EXPECT_EQ(files.size(), 20u);
}

TEST_F(ApiDownloadTest, AddressWithoutSlashAfterTheNumberStillLogsStartAndEnd) {
  const AlbumJob job = Download("http://www.douban.com/photos/album/1620000007", "十七张");
  EXPECT_EQ(job.address, "");
  EXPECT_EQ(Targets(), (std::vector<std::string>{"/v2/album//photos?count=1",
                                                 "/v2/album//photos?start=0&count=100"}));
  EXPECT_NE(LogUtf8().find("准备下载相册《十七张》\r\n\r\n---完成相册《十七张》下载\r\n\r\n"),
            std::string::npos);
  EXPECT_TRUE(FilesIn(OwnerFolder() / "十七张").empty());
}

TEST_F(ApiDownloadTest, HostileAnswersNeverReachOutsideTheSaveFolderNorBreakTheAlbum) {
  const auto total = temp_.path() / "total.json";
  const auto page = temp_.path() / "page.json";
  const auto broken = temp_.path() / "broken.json";
  WriteFileBytes(total, R"({"count":1,"total":"../../x/..","other":1})");
  WriteFileBytes(
      page,
      R"({"photos":[)"
      R"({"id":"..\/..\/..\/evil","image":"https:\/\/img3.doubanio.com\/view\/photo\/photo\/public\/p2155058361.jpg"},)"
      R"({"id":2155058362,"image":"HTTPS://img1.doubanio.com/view/photo/photo/public/p2155058362.jpg"},)"
      R"({"id":"3","image":5},)"
      R"({"id":"4","image":null,"large":[1]},)"
      R"({"id":"運\\動","image":"http://img3.doubanio.com/view/photo/photo/public/p2155058363.jpg"})"
      R"(]})");
  WriteFileBytes(broken, "{\"photos\": [ not json");
  StartOwnDouble({"--api-answer", "/v2/album/1620000007/photos?count=" + total.string(),
                  "--api-answer", "/v2/album/1620000007/photos?start=" + page.string(),
                  "--api-answer", "/v2/album/1620000008/photos?start=" + broken.string()});
  controls_.SetChecked(ctl::单选框_中图, false);
  controls_.SetChecked(ctl::单选框_原图, true);
  const AlbumJob job = Download(AlbumUrl("1620000007"), "十七张");
  EXPECT_EQ(job.countSlot, "\"../../x/..\"");
  // The total is cleaned like the name it joins; the id like the description it stands for.
  const std::string folder = "save/阿华Hua　小站/十七张\"x\"/";
  std::set<std::string> all = AllFiles();
  all.erase("total.json");
  all.erase("page.json");
  all.erase("broken.json");
  all.erase("program/防止重复下载数据库/ahua.edb");
  EXPECT_EQ(all, (std::set<std::string>{folder + "1_evil_.jpg", folder + "2_2155058362_.jpg",
                                        folder + "5_運動_.jpg"}));
  EXPECT_NE(
      LogUtf8().find(
          "---完成相册《十七张\"x\"》下载\r\n\r\n本相册：保存3张，跳过（已下载过）0张，失败2张，"
          "被拒0张\r\n\r\n相册《十七张\"x\"》有2张照片没有下载成功"),
      std::string::npos)
      << LogUtf8();

  // A page that is not JSON yields nothing; the album still starts and ends.
  Download(AlbumUrl("1620000008"), "十八张");
  EXPECT_NE(LogUtf8().find("---完成相册《十八张18》下载"), std::string::npos);
  EXPECT_TRUE(FilesIn(OwnerFolder() / "十八张18").empty());
}

}  // namespace
}  // namespace ak::test
