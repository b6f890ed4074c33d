// Pictures over several connections: whatever order the answers come in, the files, the log,
// the progress and the record are those of one connection; the pacing between requests keeps
// its range and slows down after a refusal.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "base/worker_gate.h"
#include "download/batch_download.h"
#include "download/record_store.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;

class ConnectionsTest : public DownloadTest {
 protected:
  // One batch of the albums of `rows` into the save folder `save`; the log of the batch.
  std::string RunInto(const std::string& save, BatchPolicy policy) {
    controls_.SetCaption(ctl::编辑框_保存位置, Gbk(temp_.path() / save));
    WorkerGate gate;
    const std::size_t logBefore = controls_.Log().size();
    RunBatchDownload(controls_, gate, source_, {programDir_ + "/" + save, 1ms, policy});
    return GbkToUtf8(controls_.Log().substr(logBefore));
  }
  // Every file under `root` with its bytes.
  static std::map<std::string, std::string> Contents(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().lexically_relative(root).string()] =
          std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }
  std::size_t Recorded(const std::string& save) {
    DownloadRecordStore store;
    if (!store.OpenFile(std::filesystem::path(GbkToUtf8(programDir_)) / save /
                        "防止重复下载数据库" / "ahua.edb")) {
      return 0;
    }
    return store.record_count();
  }
};

// Answers 0 to 3 times 15 ms late, by address: with three connections later photos overtake
// earlier ones.
TEST_F(ConnectionsTest, ThreeConnectionsGiveTheFilesLogAndRecordOfOne) {
  StartOwnDouble({"--slow-ms", "15", "--slow-match", "/view/photo/", "--slow-varied"});
  for (const bool browse : {true, false}) {
    SCOPED_TRACE(browse ? "pages" : "API");
    controls_.SetChecked(ctl::选择框_浏览模式, browse);
    controls_.ClearRows();
    AddRow("1", G("十七张"), AlbumUrl("1620000007"));
    AddRow("2", G("旅行"), AlbumUrl("1620000001"));
    const std::string one = browse ? "one_pages" : "one_api";
    const std::string three = browse ? "three_pages" : "three_api";
    BatchPolicy policy;
    const std::string logOne = RunInto(one, policy);
    policy.connections = 3;
    const std::string logThree = RunInto(three, policy);
    EXPECT_EQ(logThree, logOne);
    const auto files = Contents(temp_.path() / three);
    EXPECT_EQ(files.size(), 37u);
    EXPECT_TRUE(files == Contents(temp_.path() / one)) << "the files differ";
    EXPECT_EQ(Recorded(three), Recorded(one));
    EXPECT_EQ(controls_.ProgressPosition(ctl::进度条1), controls_.ProgressMaximum(ctl::进度条1));
  }
}

// Requests: album page, list page, photo 1 (refused), photo 1 again, photo 2.
TEST_F(ConnectionsTest, IntervalRangeBetweenRequestsDoublesAfterARefusal) {
  StartOwnDouble({"--block-after", "2", "--block-count", "1"});
  AddRow("1", G("无封面相册"), AlbumUrl("1620000005"));
  WorkerGate* held = nullptr;
  BatchPolicy policy;
  policy.interval = IntervalRange(40ms, 80ms);
  policy.connections = 3;
  // Continue as soon as the batch holds.
  policy.refusal.onHold = [&held] { held->Continue(); };
  WorkerGate gate;
  held = &gate;
  RunBatchDownload(controls_, gate, source_, {programDir_, 1ms, policy});
  const std::vector<LoggedRequest> requests = Double().Requests();
  ASSERT_EQ(requests.size(), 5u);
  for (std::size_t k = 1; k < requests.size(); ++k) {
    const long long gap = requests[k].ms - requests[k - 1].ms;
    // Arrival times carry the loopback's jitter of a few milliseconds.
    EXPECT_GE(gap, k < 3 ? 35 : 495) << "before request " << k + 1;
  }
  const std::string log = LogUtf8();
  EXPECT_NE(log.find("请求间隔加倍为500毫秒（设置不变）"), std::string::npos) << log;
  EXPECT_NE(log.find("一个连接"), std::string::npos) << log;
  EXPECT_NE(log.find("本次下载：保存2张，跳过（已下载过）0张，失败0张，被拒1张"), std::string::npos)
      << log;
}

}  // namespace
}  // namespace ak::test
