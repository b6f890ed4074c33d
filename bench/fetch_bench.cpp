// Picture fetches against the service test double: 2,000 sequential fetches of ~30 KB pictures
// with WinHttpFetch, side by side with the curl command line fetching the same addresses in one
// process; and how long a fetch takes to give up once its stop token is set.
//
// The double is found beside the build's tools (../tools/fake_douban from this program) or at
// $AK_FAKE_DOUBAN.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/text_ops.h"
#include "download/photo_request.h"
#include "net/http_fetch.h"
#include "net/service_config.h"
#include "net/winhttp_fetch.h"
#include "tests/support/fake_douban_process.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kPictures = 2000;
constexpr const char* kAlbum = "1700000001";

std::unique_ptr<ak::test::FakeDouban> theDouble;
fs::path workDir;
std::vector<std::string> pictureUrls;
std::vector<std::string> pictureIds;
double bestOurs = 0, bestCurl = 0;

bool StartDouble() {
  workDir = fs::temp_directory_path() / ("fetch_bench_" + std::to_string(::getpid()));
  fs::create_directories(workDir);
  const fs::path fixture = workDir / "fixture.json";
  std::ofstream(fixture) << R"({"people":[{"name":"bench","display_name":"bench","albums":[)"
                         << R"({"id":")" << kAlbum << R"(","title":"bench","generated_photos":)"
                         << kPictures << "}]}]}";
  theDouble = std::make_unique<ak::test::FakeDouban>(ak::test::FakeDoubanOptions{
      .fixtureFile = fixture.string(),
      .extraArgs = {// Pages of this person answer after 10 s: a fetch to stop.
                    "--slow-ms", "10000", "--slow-match", "/people/bench"}});
  return theDouble->Start();
}

void StopDouble() {
  theDouble.reset();
  std::error_code ignored;
  fs::remove_all(workDir, ignored);
}

// The large-picture addresses of the album, read from its API pages as the program would.
bool CollectPictureUrls() {
  for (int start = 0; start < kPictures; start += 100) {
    const std::string page =
        ak::HttpFetch("https://api.douban.com/v2/album/" + std::string(kAlbum) +
                      "/photos?start=" + std::to_string(start) + "&count=100");
    for (const ak::Text& piece : ak::Split(page, "\"large\":\"")) {
      if (!piece.starts_with("http")) continue;
      std::string url = ak::Replace(piece.substr(0, piece.find('"')), "\\", "");
      url = ak::Replace(url, "https://", "http://");
      const auto p = url.rfind("/p");
      pictureIds.push_back(url.substr(p + 2, url.size() - p - 6));
      pictureUrls.push_back(std::move(url));
    }
  }
  return pictureUrls.size() == kPictures;
}

double FetchAllWithWinHttpFetch(size_t& bytes, int& failures) {
  bytes = 0;
  failures = 0;
  const auto start = Clock::now();
  for (size_t i = 0; i < pictureUrls.size(); ++i) {
    int status = 0;
    ak::Text headers = ak::PhotoHeaderBlock(pictureIds[i]);
    const ak::Bytes body = ak::WinHttpFetch(pictureUrls[i], 0, {}, nullptr, nullptr, &headers,
                                            nullptr, &status, false, {}, {}, 30);
    bytes += body.size();
    if (status != 200) ++failures;
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_WinHttpFetch2000Pictures(benchmark::State& state) {
  for (auto _ : state) {
    size_t bytes = 0;
    int failures = 0;
    const double seconds = FetchAllWithWinHttpFetch(bytes, failures);
    state.SetIterationTime(seconds);
    bestOurs = bestOurs == 0 ? seconds : std::min(bestOurs, seconds);
    state.counters["KB_per_picture"] = double(bytes) / pictureUrls.size() / 1024;
    state.counters["failures"] = failures;
  }
}

void BM_CurlCommandLine2000Pictures(benchmark::State& state) {
  const fs::path config = workDir / "curl.config";
  {
    std::ofstream out(config);
    // Each address goes with the same header block our fetch sends, so both sides ask the
    // double for the same work; "next" keeps the connection but starts the options anew.
    for (size_t i = 0; i < pictureUrls.size(); ++i) {
      if (i > 0) out << "next\n";
      out << "silent\n";
      for (const ak::Text& entry : ak::Split(theDouble->connectTo(), ",")) {
        out << "connect-to = \"" << entry << "\"\n";
      }
      for (const ak::Text& line : ak::Split(ak::PhotoHeaderBlock(pictureIds[i]), "\r\n")) {
        if (!line.empty()) out << "header = \"" << line << "\"\n";
      }
      out << "header = \"Content-Type: application/x-www-form-urlencoded\"\n";
      out << "url = \"" << pictureUrls[i] << "\"\noutput = \"/dev/null\"\n";
    }
  }
  const std::string command = "curl -K '" + config.string() + "'";
  for (auto _ : state) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    bestCurl = bestCurl == 0 ? seconds : std::min(bestCurl, seconds);
  }
}

// From the stop request to the fetch's return, for a fetch waiting on a silent server.
void BM_StopTokenLatency(benchmark::State& state) {
  for (auto _ : state) {
    std::stop_source source;
    Clock::time_point returned;
    std::thread fetcher([&] {
      ak::HttpFetchRequest request;
      request.url = "http://www.douban.com/people/bench/";
      request.stop = source.get_token();
      ak::PerformHttpFetch(request);
      returned = Clock::now();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto stopAt = Clock::now();
    source.request_stop();
    fetcher.join();
    state.SetIterationTime(std::chrono::duration<double>(returned - stopAt).count());
  }
}

BENCHMARK(BM_WinHttpFetch2000Pictures)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_CurlCommandLine2000Pictures)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_StopTokenLatency)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(5);

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
  if (!CollectPictureUrls()) {
    std::fprintf(stderr, "the album's API pages gave %zu addresses\n", pictureUrls.size());
    StopDouble();
    return 1;
  }
  // One pass first, so both sides find every picture already made by the double.
  size_t bytes = 0;
  int failures = 0;
  FetchAllWithWinHttpFetch(bytes, failures);
  benchmark::RunSpecifiedBenchmarks();
  if (bestOurs > 0 && bestCurl > 0) {
    std::printf("best of each: WinHttpFetch %.3f s, curl %.3f s, ratio %.2f (goal <= 1.2)\n",
                bestOurs, bestCurl, bestOurs / bestCurl);
  }
  benchmark::Shutdown();
  StopDouble();
  return 0;
}
