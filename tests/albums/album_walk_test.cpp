// The walk over saved pages served by a scripted ListingIo: which addresses it asks for, its one
// pause, and what it makes of the counts.

#include "albums/album_walk.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "albums/album_list.h"
#include "albums/cover_picture.h"
#include "base/codec.h"
#include "controls/headless_view.h"
#include "tests/albums/saved_page.h"

namespace ak::test {
namespace {

// Answers page addresses from a table of saved pages (UTF-8 bytes, as the service sends them);
// anything else, covers included, comes back empty. Records every call.
class ScriptedIo final : public ListingIo {
 public:
  std::map<Text, std::string> pages;
  std::vector<std::string> calls;

  Bytes FetchPage(const Text& url, std::stop_token) override {
    calls.push_back("page " + url);
    const auto found = pages.find(url);
    return found == pages.end() ? Bytes() : found->second;
  }
  Bytes FetchCover(const Text& url, const Text&, std::stop_token) override {
    calls.push_back("cover " + url);
    return "not a picture";
  }
  void Pause(int milliseconds, std::stop_token) override {
    calls.push_back("pause " + std::to_string(milliseconds));
  }
};

const Text kBase = "http://www.douban.com/people/p/photos";

class AlbumWalkTest : public ::testing::Test {
 protected:
  AlbumWalkTest() { controls_.Attach(view_); }
  bool Walk() { return ListPersonAlbums(controls_, {"", "p", ""}, gate_, io_); }

  Controls controls_;
  std::ostringstream log_;
  std::shared_ptr<HeadlessView> view_ = std::make_shared<HeadlessView>(controls_, log_);
  WorkerGate gate_;
  ScriptedIo io_;
};

TEST_F(AlbumWalkTest, PageCountOfThreeFetchesThreePagesAfterTheFirst) {
  io_.pages[kBase] = ReadDataFile("entry_variants.html");
  io_.pages[kBase + "?start=0"] = ReadDataFile("entry_variants.html");
  io_.pages[kBase + "?start=16"] = ReadDataFile("entry_variants.html");
  ASSERT_TRUE(Walk());
  EXPECT_EQ(io_.calls, (std::vector<std::string>{
                           "page " + kBase, "pause 1000", "page " + kBase + "?start=0",
                           "page " + kBase + "?start=16", "page " + kBase + "?start=32"}));
  // The album count of the heading is the progress maximum: 8 of 41 listed.
  EXPECT_EQ(controls_.ProgressMaximum(ctl::进度条1), 41);
  EXPECT_EQ(controls_.ProgressPosition(ctl::进度条1), 8);
  EXPECT_EQ(controls_.Caption(ctl::标签_进度条比例), "19%");
  EXPECT_EQ(controls_.RowCount(), 8);
}

TEST_F(AlbumWalkTest, CoversOnFetchEachCoverAndShowThePlaceholderForJunk) {
  io_.pages[kBase + "?start=0"] = ReadDataFile("single_page_list.html");
  controls_.SetChecked(ctl::选择框_有图, true);
  ASSERT_TRUE(Walk());
  ASSERT_EQ(io_.calls.size(), 5u);
  EXPECT_EQ(io_.calls[3],
            "cover http://img1.doubanio.com/view/photo/albumcover/public/p16300000010001.jpg");
  ASSERT_EQ(controls_.RowCount(), 2);
  EXPECT_EQ(controls_.RowCover(0), PlaceholderCover());
  EXPECT_EQ(controls_.ColumnWidth(kColumnCover), 100);
}

TEST_F(AlbumWalkTest, NoFirstPageMeansOnePageAndTheMatchesAsMaximum) {
  // The first fetch failed (empty), the second gives the page.
  io_.pages[kBase + "?start=0"] = ReadDataFile("list_first_of_two_pages.html");
  ASSERT_TRUE(Walk());
  EXPECT_EQ(io_.calls.size(), 3u);
  EXPECT_EQ(controls_.ProgressMaximum(ctl::进度条1), 16);
  EXPECT_EQ(controls_.RowCount(), 16);
  EXPECT_EQ(controls_.Caption(ctl::标签_进度条比例), "100%");
}

TEST_F(AlbumWalkTest, PageCountWithoutAlbumCountShowsNoShare) {
  // A page count but no "(共N个)": the maximum becomes 0 and no percentage can be given.
  Text page = ReadDataFile("list_first_of_two_pages.html");
  page.erase(page.find("<span class=\"count\">"), 20);
  io_.pages[kBase] = page;
  io_.pages[kBase + "?start=0"] = page;
  ASSERT_TRUE(Walk());
  EXPECT_EQ(controls_.ProgressMaximum(ctl::进度条1), 0);
  EXPECT_EQ(controls_.Caption(ctl::标签_进度条比例), "0");
  EXPECT_EQ(controls_.RowCount(), 16);
}

TEST_F(AlbumWalkTest, HugeClaimedPageCountEndsAtTheFirstPageWithoutAlbums) {
  // The page claims 2,147,483,647 pages; the service holds one page of albums.
  Text page = ReadDataFile("list_first_of_two_pages.html");
  const std::size_t at = page.find("data-total-page=\"2\"");
  ASSERT_NE(at, Text::npos);
  page.replace(at, 19, "data-total-page=\"2147483647\"");
  io_.pages[kBase] = page;
  io_.pages[kBase + "?start=0"] = page;
  // A walk that does not end by itself is stopped after a few dozen pages, and fails below.
  struct StopAfter final : ListingIo {
    ListingIo& inner;
    WorkerGate& gate;
    int pages = 0;
    StopAfter(ListingIo& i, WorkerGate& g) : inner(i), gate(g) {}
    Bytes FetchPage(const Text& url, std::stop_token stop) override {
      if (++pages == 50) gate.Stop();
      return inner.FetchPage(url, stop);
    }
    Bytes FetchCover(const Text& url, const Text& listPage, std::stop_token stop) override {
      return inner.FetchCover(url, listPage, stop);
    }
    void Pause(int, std::stop_token) override {}
  } io(io_, gate_);
  EXPECT_TRUE(ListPersonAlbums(controls_, {"", "p", ""}, gate_, io));
  EXPECT_EQ(io_.calls.back(), "page " + kBase + "?start=16");
  EXPECT_EQ(controls_.RowCount(), 16);
  const std::string log = GbkToUtf8(controls_.Log());
  EXPECT_EQ(log,
            "豆瓣声称相册列表有2147483647页，但第2页起没有相册\r\n\r\n"
            "-----获取完毕,共计16个\r\n\r\n");
}

TEST_F(AlbumWalkTest, StoppedGateEndsBeforeAnyRow) {
  io_.pages[kBase + "?start=0"] = ReadDataFile("single_page_list.html");
  gate_.Stop();
  EXPECT_FALSE(Walk());
  EXPECT_EQ(controls_.RowCount(), 0);
  EXPECT_EQ(controls_.Log(), "");
}

}  // namespace
}  // namespace ak::test
