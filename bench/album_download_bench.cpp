// Whole albums against the service test double: an album of 2,000 photos (~30 KB large pictures)
// downloaded by pages and through the API, side by side with the curl command line fetching the
// same pages and pictures in one process and writing the pictures to files; a second run with
// the record box ticked (every photo skipped); the process's CPU time per photo; and the peak
// memory of an album of 10,000 photos against one of 2,000 (each in a child process of its own).
//
// The double is found beside the build's tools (../tools/fake_douban from this program) or at
// $AK_FAKE_DOUBAN.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "albums/source.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "base/worker_gate.h"
#include "bench/curl_config.h"
#include "controls/controls.h"
#include "download/batch_download.h"
#include "download/photo_request.h"
#include "net/http_fetch.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kPhotos = 2000;
constexpr int kBigPhotos = 10000;
constexpr const char* kAlbum = "1700000001";
constexpr const char* kBigAlbum = "1700000002";

std::unique_ptr<ak::test::FakeDouban> theDouble;
fs::path workDir;
double seconds[8] = {};  // best times, by the Measure enum below
enum Measure { kPagesOurs, kPagesCurl, kApiOurs, kApiCurl, kPagesSkipped, kApiSkipped };
double cpuPerPhotoMs[2] = {};

bool StartDouble() {
  workDir = fs::temp_directory_path() / ("album_bench_" + std::to_string(::getpid()));
  fs::create_directories(workDir);
  const fs::path fixture = workDir / "fixture.json";
  std::ofstream(fixture) << R"({"people":[{"name":"bench","display_name":"bench","albums":[)"
                         << R"({"id":")" << kAlbum << R"(","title":"bench","generated_photos":)"
                         << kPhotos << "},"
                         << R"({"id":")" << kBigAlbum << R"(","title":"big","generated_photos":)"
                         << kBigPhotos << "}]}]}";
  theDouble = std::make_unique<ak::test::FakeDouban>(
      ak::test::FakeDoubanOptions{.fixtureFile = fixture.string(), .extraArgs = {}});
  return theDouble->Start();
}

void StopDouble() {
  theDouble.reset();
  std::error_code ignored;
  fs::remove_all(workDir, ignored);
}

// User and system CPU seconds of this process (the double is a process of its own).
double CpuSeconds(bool system = true, bool user = true) {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return (user ? seconds(usage.ru_utime) : 0) + (system ? seconds(usage.ru_stime) : 0);
}

std::string AlbumUrl(const char* album) {
  return std::string("http://www.douban.com/photos/album/") + album + "/";
}

// One batch of one album into a fresh save folder (unless `keep`), large pictures; the seconds.
double RunAlbum(const char* album, bool byPages, bool skipRecorded, bool keep = false) {
  const fs::path save = workDir / "save";
  const fs::path program = workDir / "program";
  if (!keep) {
    fs::remove_all(save);
    fs::remove_all(program);
  }
  fs::create_directories(save);
  fs::create_directories(program);
  ak::Controls controls;
  controls.SetCaption(ak::ctl::编辑框_保存位置, save.string());
  controls.SetChecked(ak::ctl::单选框_原图, true);
  controls.SetChecked(ak::ctl::选择框_浏览模式, byPages);
  controls.SetChecked(ak::ctl::选择框_下载记录, skipRecorded);
  const int row = controls.AppendRow();
  controls.SetCell(row, 1, "1");
  controls.SetCell(row, 2, album);
  controls.SetCell(row, 5, AlbumUrl(album));
  controls.SetRowChecked(row, true);
  ak::WorkerGate gate;
  const auto start = Clock::now();
  ak::RunBatchDownload(controls, gate, {AlbumUrl(album), "bench", "bench"},
                       {program.string(), std::chrono::milliseconds(2000)});
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Keep(Measure measure, double value) {
  seconds[measure] = seconds[measure] == 0 ? value : std::min(seconds[measure], value);
}

void BM_Album2000(benchmark::State& state) {
  const bool byPages = state.range(0) == 1;
  for (auto _ : state) {
    const double cpu = CpuSeconds();
    const double user = CpuSeconds(false, true);
    const double took = RunAlbum(kAlbum, byPages, false);
    const double cpuMs = (CpuSeconds() - cpu) * 1000 / kPhotos;
    state.counters["user_ms_per_photo"] = (CpuSeconds(false, true) - user) * 1000 / kPhotos;
    state.SetIterationTime(took);
    Keep(byPages ? kPagesOurs : kApiOurs, took);
    cpuPerPhotoMs[byPages ? 0 : 1] = cpuMs;
    state.counters["cpu_ms_per_photo"] = cpuMs;
    state.counters["files"] = double(std::distance(
        fs::directory_iterator(workDir / "save" / "bench" / (std::string("1700000001") + "2000")),
        fs::directory_iterator()));
  }
}

void BM_Album2000AllRecorded(benchmark::State& state) {
  const bool byPages = state.range(0) == 1;
  RunAlbum(kAlbum, byPages, false);
  for (auto _ : state) {
    const double took = RunAlbum(kAlbum, byPages, true, true);
    state.SetIterationTime(took);
    Keep(byPages ? kPagesSkipped : kApiSkipped, took);
  }
}

// The same requests as the engine makes, by the curl command line in one process: the album
// page (or the API total), the list pages, and every large picture written to a file.
void BM_CurlSameRequests(benchmark::State& state) {
  const bool byPages = state.range(0) == 1;
  const fs::path config = workDir / (byPages ? "pages.config" : "api.config");
  const fs::path out = workDir / "curl_out";
  {
    std::ofstream cfg(config);
    ak::bench::CurlConfig curl(cfg, *theDouble);
    auto entry = [&curl](const std::string& url, const std::string& headers,
                         const std::string& file) { curl.Add(url, headers, file); };
    const std::string api = std::string("https://api.douban.com/v2/album/") + kAlbum;
    if (byPages) {
      entry(AlbumUrl(kAlbum), {}, "/dev/null");
      for (int start = 0; start <= kPhotos; start += 18) {
        entry(AlbumUrl(kAlbum) + "?start=" + std::to_string(start), {}, "/dev/null");
      }
    } else {
      entry(api + "/photos?count=1", {}, "/dev/null");
      for (int start = 0; start <= kPhotos; start += 100) {
        entry(api + "/photos?start=" + std::to_string(start) + "&count=100", {}, "/dev/null");
      }
    }
    for (int i = 1; i <= kPhotos; ++i) {
      char id[32];
      std::snprintf(id, sizeof id, "%s%04d", kAlbum, i);
      const std::string host = i % 2 == 0 ? "img1.doubanio.com" : "img3.doubanio.com";
      entry("http://" + host + "/view/photo/large/public/p" + id + ".jpg", ak::PhotoHeaderBlock(id),
            (out / (std::to_string(i) + ".jpg")).string());
    }
  }
  const std::string command = "curl -K '" + config.string() + "'";
  for (auto _ : state) {
    fs::remove_all(out);
    fs::create_directories(out);
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(took);
    Keep(byPages ? kPagesCurl : kApiCurl, took);
    state.counters["files"] =
        double(std::distance(fs::directory_iterator(out), fs::directory_iterator()));
  }
}

// Peak resident memory (MB) of a child process that downloads one album through the API.
double PeakMegabytes(const char* album) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    RunAlbum(album, false, false);
    ::_exit(0);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  return double(usage.ru_maxrss) / 1024;
}

BENCHMARK(BM_Album2000)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_CurlSameRequests)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_Album2000AllRecorded)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartDouble()) {
    std::fprintf(stderr, "cannot start the test double: %s\n",
                 theDouble != nullptr ? theDouble->error().c_str() : "");
    StopDouble();
    return 1;
  }
  ::setenv("ALBUMKEEPER_CONNECT_TO", theDouble->connectTo().c_str(), 1);
  ::setenv("ALBUMKEEPER_CA_FILE", theDouble->caFile().c_str(), 1);
  ak::ReloadServiceConfig();
  // One pass first, so every side finds every picture already made by the double.
  RunAlbum(kAlbum, false, false);
  benchmark::RunSpecifiedBenchmarks();
  std::printf(
      "pages: ours %.3f s, curl %.3f s, ratio %.2f (goal <= 1.1); all recorded %.3f s, "
      "%.1f times faster (goal >= 20)\n",
      seconds[kPagesOurs], seconds[kPagesCurl], seconds[kPagesOurs] / seconds[kPagesCurl],
      seconds[kPagesSkipped], seconds[kPagesOurs] / seconds[kPagesSkipped]);
  std::printf(
      "api:   ours %.3f s, curl %.3f s, ratio %.2f (goal <= 1.1); all recorded %.3f s, "
      "%.1f times faster (goal >= 20)\n",
      seconds[kApiOurs], seconds[kApiCurl], seconds[kApiOurs] / seconds[kApiCurl],
      seconds[kApiSkipped], seconds[kApiOurs] / seconds[kApiSkipped]);
  std::printf("process CPU per photo (engine + libcurl client side): pages %.3f ms, api %.3f ms\n",
              cpuPerPhotoMs[0], cpuPerPhotoMs[1]);
  if (std::getenv("AK_BENCH_SKIP_MEMORY") == nullptr) {
    std::printf("peak memory, API mode: %d photos %.1f MB, %d photos %.1f MB (goal < 100)\n",
                kPhotos, PeakMegabytes(kAlbum), kBigPhotos, PeakMegabytes(kBigAlbum));
  }
  benchmark::Shutdown();
  StopDouble();
  return 0;
}
