// Pictures over several connections, a whole album of 500 photos through the API (large
// pictures) beside the curl command line fetching the same requests one after another in one
// process: with the double answering every picture 20 ms late, and with no added latency into a
// folder of the build tree and one on tmpfs (/dev/shm); and the peak memory of an album of
// 10,000 photos with 8 connections (in a child process). Run as bench_connections_bench.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/text_ops.h"
#include "base/worker_gate.h"
#include "bench/curl_config.h"
#include "controls/controls.h"
#include "download/batch_download.h"
#include "download/photo_request.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kPhotos = 500;
constexpr int kBigPhotos = 10000;
constexpr const char* kAlbum = "1700000001";
constexpr const char* kBigAlbum = "1700000002";

std::unique_ptr<ak::test::FakeDouban> theDouble;
fs::path fixtureDir;

std::string AlbumUrl(const char* album) {
  return std::string("http://www.douban.com/photos/album/") + album + "/";
}

bool StartDouble(std::vector<std::string> args) {
  theDouble.reset();
  theDouble = std::make_unique<ak::test::FakeDouban>(ak::test::FakeDoubanOptions{
      .fixtureFile = (fixtureDir / "fixture.json").string(), .extraArgs = std::move(args)});
  if (!theDouble->Start()) return false;
  ::setenv("ALBUMKEEPER_CONNECT_TO", theDouble->connectTo().c_str(), 1);
  ::setenv("ALBUMKEEPER_CA_FILE", theDouble->caFile().c_str(), 1);
  ak::ReloadServiceConfig();
  return true;
}

double RunAlbum(const fs::path& work, const char* album, int connections) {
  const fs::path save = work / "save";
  const fs::path program = work / "program";
  fs::remove_all(save);
  fs::remove_all(program);
  fs::create_directories(save);
  fs::create_directories(program);
  ak::Controls controls;
  controls.SetCaption(ak::ctl::编辑框_保存位置, save.string());
  controls.SetChecked(ak::ctl::单选框_原图, true);
  controls.SetChecked(ak::ctl::选择框_浏览模式, false);
  const int row = controls.AppendRow();
  controls.SetCell(row, 1, "1");
  controls.SetCell(row, 2, album);
  controls.SetCell(row, 5, AlbumUrl(album));
  controls.SetRowChecked(row, true);
  ak::WorkerGate gate;
  ak::BatchPolicy policy;
  policy.connections = connections;
  const auto start = Clock::now();
  ak::RunBatchDownload(controls, gate, {AlbumUrl(album), "bench", "bench"},
                       {program.string(), std::chrono::milliseconds(2000), policy});
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double RunCurl(const fs::path& work) {
  const fs::path config = work / "api.config";
  const fs::path out = work / "curl_out";
  {
    std::ofstream cfg(config);
    ak::bench::CurlConfig curl(cfg, *theDouble);
    auto entry = [&curl](const std::string& url, const std::string& headers,
                         const std::string& file) { curl.Add(url, headers, file); };
    const std::string api = std::string("https://api.douban.com/v2/album/") + kAlbum;
    entry(api + "/photos?count=1", {}, "/dev/null");
    for (int start = 0; start <= kPhotos; start += 100) {
      entry(api + "/photos?start=" + std::to_string(start) + "&count=100", {}, "/dev/null");
    }
    for (int i = 1; i <= kPhotos; ++i) {
      char id[32];
      std::snprintf(id, sizeof id, "%s%04d", kAlbum, i);
      const std::string host = i % 2 == 0 ? "img1.doubanio.com" : "img3.doubanio.com";
      entry("http://" + host + "/view/photo/large/public/p" + id + ".jpg", ak::PhotoHeaderBlock(id),
            (out / (std::to_string(i) + ".jpg")).string());
    }
  }
  fs::remove_all(out);
  fs::create_directories(out);
  const auto start = Clock::now();
  if (std::system(("curl -K '" + config.string() + "'").c_str()) != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The best of `runs`.
template <typename F>
double Best(int runs, F f) {
  double best = 1e9;
  for (int k = 0; k < runs; ++k) best = std::min(best, f());
  return best;
}

void Compare(const char* what, const fs::path& work) {
  fs::create_directories(work);
  RunAlbum(work, kAlbum, 3);  // every picture made by the double once
  const double curl = Best(3, [&] { return RunCurl(work); });
  for (const int connections : {1, 3}) {
    const double ours = Best(3, [&] { return RunAlbum(work, kAlbum, connections); });
    std::printf("%s: %d connection(s) %.3f s, curl %.3f s: %.2f x curl's speed\n", what,
                connections, ours, curl, curl / ours);
  }
  fs::remove_all(work);
}

double PeakMegabytes(const fs::path& work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    RunAlbum(work, kBigAlbum, 8);
    ::_exit(0);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  return double(usage.ru_maxrss) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  fixtureDir =
      fs::path(argv[0]).parent_path() / ("connections_bench_" + std::to_string(::getpid()));
  fs::create_directories(fixtureDir);
  std::ofstream(fixtureDir / "fixture.json")
      << R"({"people":[{"name":"bench","display_name":"bench","albums":[)"
      << R"({"id":")" << kAlbum << R"(","title":"bench","generated_photos":)" << kPhotos << "},"
      << R"({"id":")" << kBigAlbum << R"(","title":"big","generated_photos":)" << kBigPhotos
      << "}]}]}";
  const fs::path tmpfs = fs::path("/dev/shm") / fixtureDir.filename();
  if (!StartDouble({"--slow-ms", "20", "--slow-match", "/view/photo"})) return 1;
  Compare("20 ms per picture, build folder", fixtureDir / "work");
  if (!StartDouble({})) return 1;
  Compare("no added latency, build folder (ext4)", fixtureDir / "work");
  Compare("no added latency, tmpfs", tmpfs);
  if (std::getenv("AK_BENCH_SKIP_MEMORY") == nullptr) {
    std::printf("peak memory, %d photos, 8 connections: %.1f MB (goal < 100)\n", kBigPhotos,
                PeakMegabytes(fixtureDir / "work"));
  }
  theDouble.reset();
  fs::remove_all(fixtureDir);
  benchmark::Shutdown();
  return 0;
}
