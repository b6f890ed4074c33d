// The album-list walk of a person with 1,000 albums, served by the service test double, with and
// without covers. The walk's fetches and its one pause are timed apart, so the figures are the
// time the walk spends outside the network per album: reading pages, decoding and scaling covers,
// and adding rows to the list model and its view. A second benchmark compares the cost of adding
// a row with a cover at the start and at the end of a list of 1,000.
//
// The double is found beside the build's tools (../tools/fake_douban from this program) or at
// $AK_FAKE_DOUBAN.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "albums/album_list.h"
#include "albums/album_walk.h"
#include "albums/cover_picture.h"
#include "controls/headless_view.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kAlbums = 1000;
constexpr const char* kPerson = "thousand";

std::unique_ptr<ak::test::FakeDouban> theDouble;
fs::path workDir;

// Starts the double with one person of kAlbums albums (one photo each, so each has a cover) and
// points the service configuration at it.
bool StartDouble() {
  workDir = fs::temp_directory_path() / ("album_walk_bench_" + std::to_string(::getpid()));
  fs::create_directories(workDir);
  const fs::path fixture = workDir / "fixture.json";
  {
    std::ofstream out(fixture);
    out << R"({"people":[{"name":")" << kPerson << R"(","display_name":"千个 相册","albums":[)";
    for (int i = 1; i <= kAlbums; ++i) {
      out << (i > 1 ? "," : "") << R"({"id":")" << 1800000000 + i << R"(","title":"相册：第 )" << i
          << R"( 个","generated_photos":1})";
    }
    out << "]}]}";
  }
  theDouble = std::make_unique<ak::test::FakeDouban>(
      ak::test::FakeDoubanOptions{.fixtureFile = fixture.string(), .extraArgs = {}});
  if (!theDouble->Start()) return false;
  theDouble->ExportEnvironment();
  ak::ReloadServiceConfig();
  return true;
}

void StopDouble() {
  theDouble.reset();
  std::error_code ignored;
  fs::remove_all(workDir, ignored);
}

// The service's fetches and pause, with the time spent in them added up.
class TimedIo final : public ak::ListingIo {
 public:
  ak::Bytes FetchPage(const ak::Text& url, std::stop_token stop) override {
    const auto start = Clock::now();
    ak::Bytes body = ak::ServiceListingIo().FetchPage(url, stop);
    spent += Clock::now() - start;
    return body;
  }
  ak::Bytes FetchCover(const ak::Text& url, const ak::Text& listPage,
                       std::stop_token stop) override {
    const auto start = Clock::now();
    ak::Bytes body = ak::ServiceListingIo().FetchCover(url, listPage, stop);
    spent += Clock::now() - start;
    return body;
  }
  void Pause(int milliseconds, std::stop_token stop) override {
    const auto start = Clock::now();
    ak::ServiceListingIo().Pause(milliseconds, stop);
    spent += Clock::now() - start;
  }
  Clock::duration spent{};
};

void Walk(benchmark::State& state, bool covers) {
  double outsideTotal = 0;
  for (auto _ : state) {
    ak::Controls controls;
    std::ostringstream log;
    controls.Attach(std::make_shared<ak::HeadlessView>(controls, log));
    controls.SetChecked(ak::ctl::选择框_有图, covers);
    ak::WorkerGate gate;
    TimedIo io;
    const auto start = Clock::now();
    ak::ListPersonAlbums(controls, {"", kPerson, ""}, gate, io);
    const auto total = Clock::now() - start;
    if (controls.RowCount() != kAlbums) state.SkipWithError("not every album listed");
    const double outside = std::chrono::duration<double>(total - io.spent).count();
    state.SetIterationTime(outside);
    outsideTotal += outside;
  }
  state.counters["outside_ms_per_album"] =
      outsideTotal * 1000 / static_cast<double>(state.iterations()) / kAlbums;
}

void BM_WalkWithoutCovers(benchmark::State& state) { Walk(state, false); }
void BM_WalkWithCovers(benchmark::State& state) { Walk(state, true); }

// Adding a row with a cover to a list of 1,000 through the model and the headless view: the
// first hundred rows against the last hundred.
void BM_AppendRowCostAtStartAndEnd(benchmark::State& state) {
  const auto cover = ak::PlaceholderCover();
  double first = 0, last = 0;
  for (auto _ : state) {
    ak::Controls controls;
    std::ostringstream log;
    controls.Attach(std::make_shared<ak::HeadlessView>(controls, log));
    for (int block = 0; block < kAlbums / 100; ++block) {
      const auto start = Clock::now();
      for (int i = 0; i < 100; ++i) ak::AppendAlbumRow(controls, "name", "address", cover);
      const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
      if (block == 0) first += seconds;
      if (block == kAlbums / 100 - 1) last += seconds;
    }
  }
  const double n = static_cast<double>(state.iterations()) * 100;
  state.counters["first_100_us_per_row"] = first * 1e6 / n;
  state.counters["last_100_us_per_row"] = last * 1e6 / n;
}

BENCHMARK(BM_WalkWithoutCovers)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkWithCovers)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendRowCostAtStartAndEnd)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartDouble()) {
    std::fprintf(stderr, "cannot start the test double: %s\n",
                 theDouble != nullptr ? theDouble->error().c_str() : "");
    StopDouble();
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  StopDouble();
  return 0;
}
