// Text layer speed on album-list pages made of repeated album entries: conversion, marker
// extraction, replacement and the album pattern, at 1, 2 and 4 MB to show that each grows
// linearly with the page.
#include <benchmark/benchmark.h>

#include <string>

#include "base/codec.h"
#include "base/regex_matcher.h"
#include "base/text_ops.h"

namespace {

constexpr char kAlbumPattern[] =
    "<img class=\"album\" src=\"(.*?)\"/></a>\n    <div class=\"albumlst_r\">\n        <div "
    "class=\"pl2\">\n            <a href=\"(.*?)\">(.*?)</a>";

// A UTF-8 album-list page of about `bytes` bytes, ending with the page-count marker.
std::string Utf8Page(std::size_t bytes) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"zh-cmn-Hans\">\n<head><title>小明的相册</title></head>\n"
      "<body>\n";
  for (int i = 1; page.size() < bytes; ++i) {
    const std::string id = std::to_string(1000000 + i);
    page += "<div class=\"albumlst\">\n    <a href=\"https://www.douban.com/photos/album/" + id +
            "/\"><img class=\"album\" src=\"https://img1.doubanio.com/view/photo/albumcover/"
            "public/p" +
            id +
            ".jpg\"/></a>\n    <div class=\"albumlst_r\">\n        <div class=\"pl2\">\n"
            "            <a href=\"https://www.douban.com/photos/album/" +
            id + "/\">2015.10.1 旅行：北京（上）第" + std::to_string(i) +
            "集</a>\n        </div>\n        <span class=\"pl\">12张照片 创建于2015-10-01</span>\n"
            "    </div>\n</div>\n";
  }
  page += "<div class=\"paginator\" data-total-page=\"7\"></div>\n</body></html>\n";
  return page;
}

const std::string& PageUtf8(std::size_t megabytes) {
  static std::string pages[5];
  std::string& page = pages[megabytes];
  if (page.empty()) page = Utf8Page(megabytes << 20);
  return page;
}

const std::string& PageGbk(std::size_t megabytes) {
  static std::string pages[5];
  std::string& page = pages[megabytes];
  if (page.empty()) page = ak::Utf8ToGbk(PageUtf8(megabytes));
  return page;
}

std::size_t Megabytes(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0));
}

void BM_Utf8ToGbk(benchmark::State& state) {
  const std::string& page = PageUtf8(Megabytes(state));
  for (auto _ : state) benchmark::DoNotOptimize(ak::Utf8ToGbk(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_GbkToUtf8(benchmark::State& state) {
  const std::string& page = PageGbk(Megabytes(state));
  for (auto _ : state) benchmark::DoNotOptimize(ak::GbkToUtf8(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// The page-count marker sits at the end, so the search crosses the whole page.
void BM_TextBetween(benchmark::State& state) {
  const std::string& page = PageGbk(Megabytes(state));
  for (auto _ : state) {
    ak::Text count = ak::TextBetween(page, "data-total-page=" + std::string(ak::QuoteToken),
                                     std::string(ak::QuoteToken));
    if (count != "7") state.SkipWithError("marker not found");
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_TextBetweenIgnoringCase(benchmark::State& state) {
  const std::string& page = PageGbk(Megabytes(state));
  for (auto _ : state)
    benchmark::DoNotOptimize(ak::TextBetween(page, "DATA-TOTAL-PAGE=\"", "\"", 1, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// Replace ignores letter case unless asked otherwise; one replacement per album entry.
void BM_Replace(benchmark::State& state) {
  const std::string& page = PageGbk(Megabytes(state));
  for (auto _ : state) benchmark::DoNotOptimize(ak::Replace(page, "albumlst_r", "albumlist_r"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_ReplaceCaseSensitive(benchmark::State& state) {
  const std::string& page = PageGbk(Megabytes(state));
  for (auto _ : state)
    benchmark::DoNotOptimize(ak::Replace(page, "albumlst_r", "albumlist_r", 1, -1, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_AlbumPattern(benchmark::State& state) {
  const std::string& page = PageGbk(Megabytes(state));
  int matches = 0;
  for (auto _ : state) {
    ak::RegexMatcher matcher;
    matcher.RunPattern(kAlbumPattern, page);
    matches = matcher.MatchCount();
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = matches;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// A photo-list page whose picture addresses no longer fit the built-in photo pattern: every
// entry starts a search whose lazy part fails only at the end of the page. The work limit keeps
// this linear; without it the time grows with the square of the page.
void BM_PhotoPatternBrokenPage(benchmark::State& state) {
  static std::string pages[5];
  std::string& page = pages[Megabytes(state)];
  if (page.empty()) {
    while (page.size() < Megabytes(state) << 20)
      page +=
          "<a href=\"https://www.douban.com/photos/photo/1/\" class=\"photolst_photo\" "
          "title=\"x\">\n    <img src=\"https://img3.doubanio.com/view/photo/m/public/p1.jpg\" "
          "/>\n</a>\n";
  }
  const char* patterns[] = {
      "lass=\"photolst_photo\" title=\"([\\s\\S]*?)\">[\\s\\S]*?<img "
      "src=\"(.*?)/view/photo/thumb/public/p(.*?).jpg\" />",
      // A back reference keeps the engine from any short cut: only the work limit ends it.
      "lass=\"photolst_photo\" title=\"([\\s\\S]*?)\">[\\s\\S]*?<img "
      "src=\"(.*?)/view/photo/thumb/public/p(.*?).jpg\" />(\\1)?",
  };
  for (auto _ : state) {
    ak::RegexMatcher matcher;
    matcher.RunPattern(patterns[state.range(1)], page);
    benchmark::DoNotOptimize(matcher.MatchCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

}  // namespace

#define AK_SIZES Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Utf8ToGbk)->AK_SIZES;
BENCHMARK(BM_GbkToUtf8)->AK_SIZES;
BENCHMARK(BM_TextBetween)->AK_SIZES;
BENCHMARK(BM_TextBetweenIgnoringCase)->AK_SIZES;
BENCHMARK(BM_Replace)->AK_SIZES;
BENCHMARK(BM_ReplaceCaseSensitive)->AK_SIZES;
BENCHMARK(BM_AlbumPattern)->AK_SIZES;
BENCHMARK(BM_PhotoPatternBrokenPage)
    ->ArgsProduct({{1, 2, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
