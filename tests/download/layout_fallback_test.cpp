// Album pages the walk no longer understands: pages that ignore "?start=" (a later page repeats
// an earlier one) and pages whose photo entries the pattern misses. The walk stops, says so,
// and the album is retried once through the API without saving any photo twice. And the pacing
// of the batch's requests, measured in the double's log.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/worker_gate.h"
#include "download/album_by_pages.h"
#include "download/batch_download.h"
#include "requests/request_pacer.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

class LayoutFallbackTest : public DownloadTest {
 protected:
  bool Download(const std::string& albumId, const char* name) {
    WorkerGate gate;
    AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
    BatchTally tally;
    AlbumJob job{"0", AlbumUrl(albumId), G(name)};
    return DownloadAlbumByPages(env, tally, job);
  }
  // How often each picture was asked for.
  std::map<std::string, int> PictureRequests() {
    std::map<std::string, int> counts;
    for (const std::string& target : Targets("/view/photo/")) ++counts[target];
    return counts;
  }
};

TEST_F(LayoutFallbackTest, PagesIgnoringStartStopTheWalkAndTheApiFetchesTheRest) {
  StartOwnDouble({"--ignore-start"});
  ASSERT_TRUE(Download("1620000002", "春天（上）：樱花！"));
  // The second page repeated the first: no third page, its photos not fetched again.
  EXPECT_EQ(Targets("/photos/album/1620000002/?start=").size(), 2u);
  const std::string log = LogUtf8();
  EXPECT_NE(log.find("相册《春天上樱花36》的第2页重复了第1页的照片"), std::string::npos) << log;
  EXPECT_EQ(Targets("/v2/album/1620000002/photos?start=0&count=100").size(), 1u);
  const auto pictures = PictureRequests();
  EXPECT_EQ(pictures.size(), 36u);
  for (const auto& [target, count] : pictures) EXPECT_EQ(count, 1) << target;
  // The first page under the walk's names, the rest under the API's; every photo once.
  const auto files = FilesIn(OwnerFolder() / "春天上樱花36");
  EXPECT_EQ(files.size(), 36u);
  EXPECT_TRUE(files.count("18__.jpg"));
  EXPECT_TRUE(files.count("19_16200000020019_.jpg"));
  EXPECT_FALSE(files.count("1_16200000020001_.jpg"));
  EXPECT_NE(log.find("---完成相册《春天上樱花36》下载"), std::string::npos);
}

TEST_F(LayoutFallbackTest, CountWithoutEntriesOnAnyPageRetriesThroughTheApiOnce) {
  StartOwnDouble({"--new-layout"});
  ASSERT_TRUE(Download("1620000008", "十八张"));
  EXPECT_EQ(Targets("/photos/album/1620000008/?start=").size(), 2u);
  const std::string log = LogUtf8();
  EXPECT_NE(log.find("相册《十八张18》有18张照片，但页面上找不到照片"), std::string::npos) << log;
  EXPECT_EQ(Targets("/v2/album/1620000008/photos?count=1").size(), 1u);
  // Once through the API, named as the API names them.
  const auto files = FilesIn(OwnerFolder() / "十八张18");
  EXPECT_EQ(files.size(), 18u);
  EXPECT_TRUE(files.count("18_16200000080018_.jpg"));
}

// Pages showing a count and no photo, and an API that lists none either (an empty list, an
// answer that is no JSON): one round each, no picture, and the album has failed with a line saying
// so.
TEST_F(LayoutFallbackTest, AnApiRetryThatFindsNothingFailsTheAlbumWithoutAnotherRound) {
  const std::vector<std::pair<std::string, std::string>> answers = {
      {R"({"count":100,"start":0,"total":3,"photos":[]})", "豆瓣说相册里有照片"},
      {"<html>Service Unavailable</html>", "API的应答不是照片列表"},
  };
  for (const auto& [answer, reason] : answers) {
    SCOPED_TRACE(answer);
    const auto file = temp_.path() / "answer.json";
    testing::WriteFileBytes(file, answer);
    StartOwnDouble({"--new-layout", "--api-answer", "/v2/album/1620000003/=" + file.string()});
    WorkerGate gate;
    AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
    BatchTally tally;
    AlbumJob job{"0", AlbumUrl("1620000003"), G("？？？")};
    const std::size_t logBefore = LogUtf8().size();
    ASSERT_TRUE(DownloadAlbumByPages(env, tally, job));
    EXPECT_EQ(Targets("/photos/album/1620000003/").size(), 2u);
    EXPECT_EQ(Targets("/v2/album/1620000003/photos?count=1").size(), 1u);
    EXPECT_EQ(Targets("/v2/album/1620000003/photos?start=0").size(), 1u);
    EXPECT_TRUE(Targets("/view/photo/").empty());
    EXPECT_EQ(tally.failedAlbums, 1);
    const std::string log = LogUtf8().substr(logBefore);
    EXPECT_NE(log.find("---完成相册"), std::string::npos) << log;
    EXPECT_NE(log.find("》下载失败：" + reason), std::string::npos) << log;
  }
}

TEST_F(LayoutFallbackTest, AnApiThatRefusesSaysSoAndTheAlbumIsNotFinished) {
  const auto refusal = temp_.path() / "refusal.json";
  testing::WriteFileBytes(refusal, R"({"msg":"invalid_apikey","code":104,"request":"GET"})");
  StartOwnDouble({"--new-layout", "--api-answer", "/v2/album/1620000008/=" + refusal.string()});
  ASSERT_TRUE(Download("1620000008", "十八张"));
  const std::string log = LogUtf8();
  EXPECT_NE(log.find("（104 invalid_apikey）"), std::string::npos) << log;
  EXPECT_NE(log.find("相册《十八张》在浏览模式下读不到照片，API也无法下载它"), std::string::npos)
      << log;
  EXPECT_EQ(log.find("---完成相册"), std::string::npos) << log;
  EXPECT_EQ(Targets("/v2/album/1620000008/").size(), 1u);
  EXPECT_TRUE(Targets("/view/photo/").empty());
}

TEST_F(LayoutFallbackTest, IntervalKeptBetweenEveryTwoRequestsOfTheBatch) {
  constexpr auto kInterval = std::chrono::milliseconds(200);
  AddRow("1", G("？？？"), AlbumUrl("1620000003"));
  WorkerGate gate;
  BatchOptions options{programDir_, std::chrono::milliseconds(1)};
  options.policy.interval = kInterval;
  RunBatchDownload(controls_, gate, source_, options);
  const auto requests = Double().Requests();
  // Album page, list page, three pictures.
  ASSERT_EQ(requests.size(), 5u);
  long long shortest = kInterval.count() * 10;
  for (std::size_t i = 1; i < requests.size(); ++i) {
    shortest = std::min(shortest, requests[i].ms - requests[i - 1].ms);
  }
  // Arrival times may shift by the scheduling of the double's threads; never by a whole interval.
  EXPECT_GE(shortest, kInterval.count() - 40);
  EXPECT_GE(requests.back().ms - requests.front().ms, 4 * kInterval.count() - 40);
}

}  // namespace
}  // namespace ak::test
