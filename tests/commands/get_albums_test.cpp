// The listing against the service test double, seen through the headless view: the requests it
// sends (from the double's request log), the rows, the source and the texts it shows.

#include <gtest/gtest.h>

#include <regex>

#include "albums/album_list.h"
#include "albums/cover_picture.h"
#include "tests/commands/listing_fixture.h"

namespace ak::test {
namespace {

class GetAlbumsTest : public ListingTest {
 protected:
  static void SetUpTestSuite() { StartDouble(); }
};

const char kAhuaTitle[] = "阿华Hua小站";

TEST_F(GetAlbumsTest, PersonWalkSendsExactlyThesePages) {
  ASSERT_EQ(List("  http://www.douban.com/people/ahua/photos　"), GetAlbumsOutcome::kStarted);
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{
                                "GET www.douban.com/people/ahua",
                                "GET www.douban.com/people/ahua/photos",
                                "GET www.douban.com/people/ahua/photos?start=0",
                                "GET www.douban.com/people/ahua/photos?start=16",
                            }));
  const Source source = ctx_.source.Get();
  EXPECT_EQ(source.address, "http://www.douban.com/people/ahua/photos");
  EXPECT_EQ(source.id, "ahua");
  EXPECT_EQ(GbkToUtf8(source.title), kAhuaTitle);
}

TEST_F(GetAlbumsTest, PersonRowsNamesNumbersAddressesAndTicks) {
  ASSERT_EQ(List("http://www.douban.com/people/ahua/"), GetAlbumsOutcome::kStarted);
  const ControlsState state = State();
  ASSERT_EQ(state.Rows().size(), 20u);
  for (int row = 0; row < 20; ++row) {
    EXPECT_EQ(Cell(row, kColumnNumber), std::to_string(row + 1));
    char address[64];
    std::snprintf(address, sizeof address, "http://www.douban.com/photos/album/16200000%02d/",
                  row + 1);
    EXPECT_EQ(Cell(row, kColumnAddress), address);
    EXPECT_TRUE(state.Rows()[row].checked) << row;
    EXPECT_EQ(state.Rows()[row].cover, nullptr) << row;
    EXPECT_FALSE(state.Rows()[row].cells[kColumnName].empty()) << row;
  }
  EXPECT_EQ(Cell(0, kColumnName), "旅行2015夏天");
  EXPECT_EQ(Cell(1, kColumnName), "春天上樱花");
  // Only removed characters: the address's digits and three random letters.
  EXPECT_TRUE(std::regex_match(Cell(2, kColumnName), std::regex("1620000003\\(随机字母[a-z]{3}）")))
      << Cell(2, kColumnName);
  EXPECT_EQ(Cell(3, kColumnName), "Aamp;B");  // entities kept, "&" removed
  EXPECT_EQ(Cell(5, kColumnName), "運動會誠品質感");
  EXPECT_EQ(Cell(19, kColumnName), "第二页的相册20");
  // Covers off: no picture requested, the cover column hidden; 4 to 7 hidden after a listing.
  for (const std::string& line : RequestLines()) {
    EXPECT_EQ(line.find("albumcover"), std::string::npos) << line;
  }
  for (int column : {3, 4, 5, 6, 7}) {
    EXPECT_EQ(state.ColumnWidths()[column], 0) << column;
  }
}

TEST_F(GetAlbumsTest, PersonWalkTextsAndProgress) {
  ASSERT_EQ(List("http://www.douban.com/people/ahua"), GetAlbumsOutcome::kStarted);
  EXPECT_EQ(GbkToUtf8(controls_.Log()),
            "正努力获取相册列表，耐心等待哈！\r\n\r\n-----获取完毕,共计20个\r\n\r\n");
  EXPECT_EQ(Caption(ctl::标签_动态), "相册列表获取完毕,共计20个");
  EXPECT_EQ(controls_.ProgressMaximum(ctl::进度条1), 20);
  EXPECT_EQ(controls_.ProgressPosition(ctl::进度条1), 20);
  EXPECT_EQ(Caption(ctl::标签_进度条比例), "100%");
  EXPECT_FALSE(controls_.Visible(ctl::画板1));
  EXPECT_TRUE(controls_.Enabled(ctl::按钮_获取相册封面));
}

TEST_F(GetAlbumsTest, WithCoversEveryRowShowsAHundredSquarePicture) {
  ASSERT_EQ(List("http://www.douban.com/people/ahua/", true), GetAlbumsOutcome::kStarted);
  const ControlsState state = State();
  ASSERT_EQ(state.Rows().size(), 20u);
  EXPECT_EQ(state.ColumnWidths()[kColumnCover], 100);
  for (int row = 0; row < 20; ++row) {
    const auto& cover = state.Rows()[row].cover;
    ASSERT_NE(cover, nullptr) << row;
    EXPECT_EQ(cover->width, 100);
    EXPECT_EQ(cover->height, 100);
    // Album 5 has no cover address: the placeholder; the others their own picture.
    EXPECT_EQ(cover == PlaceholderCover(), row == 4) << row;
  }
  // Each cover fetched once, in list order, with HTTP/1.0, between the pages that list them.
  const std::vector<LoggedRequest> requests = double_->Requests();
  std::vector<std::string> lines = RequestLines();
  ASSERT_EQ(lines.size(), 4u + 19u);
  EXPECT_EQ(lines[3], "GET img3.doubanio.com/view/photo/albumcover/public/p2155058361.jpg");
  EXPECT_EQ(lines[4], "GET img1.doubanio.com/view/photo/albumcover/public/p16200000020001.jpg");
  EXPECT_EQ(lines[18], "GET www.douban.com/people/ahua/photos?start=16");
  EXPECT_EQ(requests[3].version, "HTTP/1.0");
  EXPECT_EQ(requests[3].Header("Accept"), "*/*");
}

TEST_F(GetAlbumsTest, CoverBoxIsReadAfreshForEveryAlbum) {
  // Ticked while the list is still empty, cleared after the third row: rows after it have no
  // picture and the cover column ends hidden.
  controls_.SetCaption(ctl::编辑框_号码, "http://www.douban.com/people/ahua/");
  controls_.SetChecked(ctl::选择框_有图, true);
  struct Untick : ControlsView {
    explicit Untick(Controls& c, std::shared_ptr<HeadlessView> v) : controls(c), view(v) {}
    void Attached(const ControlsState& state) override { view->Attached(state); }
    void ChangesPending() override {
      view->ChangesPending();
      if (!done && view->State().Rows().size() == 3 && view->State().Rows()[2].checked) {
        done = true;
        controls.SetChecked(ctl::选择框_有图, false, Origin::kView);
      }
    }
    Controls& controls;
    std::shared_ptr<HeadlessView> view;
    bool done = false;
  };
  controls_.Attach(std::make_shared<Untick>(controls_, view_));
  ASSERT_EQ(GetAlbumsCommand(ctx_), GetAlbumsOutcome::kStarted);
  ctx_.listing.Wait();
  const ControlsState state = State();
  ASSERT_EQ(state.Rows().size(), 20u);
  for (int row = 0; row < 20; ++row) {
    EXPECT_EQ(state.Rows()[row].cover != nullptr, row < 3) << row;
  }
  EXPECT_EQ(state.ColumnWidths()[kColumnCover], 0);
}

TEST_F(GetAlbumsTest, HomePageWithoutFeedLinkAndOnePageWithoutPageCount) {
  ASSERT_EQ(List("http://www.douban.com/people/xiaoming/"), GetAlbumsOutcome::kStarted);
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{
                                "GET www.douban.com/people/xiaoming",
                                "GET www.douban.com/people/xiaoming/photos",
                                "GET www.douban.com/people/xiaoming/photos?start=0",
                            }));
  EXPECT_EQ(GbkToUtf8(ctx_.source.Get().title), "小明的主页");
  ASSERT_EQ(State().Rows().size(), 2u);
  EXPECT_EQ(Cell(0, kColumnName), "日常");
  EXPECT_TRUE(
      std::regex_match(Cell(1, kColumnName), std::regex("1630000002\\(随机字母[a-z]{3}）")));
  // Without a page count the number of entries is the progress maximum.
  EXPECT_EQ(controls_.ProgressMaximum(ctl::进度条1), 2);
  EXPECT_EQ(Caption(ctl::标签_进度条比例), "100%");
}

TEST_F(GetAlbumsTest, PersonWithoutAlbumsOrUnknownListsNothing) {
  for (const char* address :
       {"http://www.douban.com/people/empty/", "http://www.douban.com/people/nobody/"}) {
    controls_.AppendRow();  // from an earlier listing
    ASSERT_EQ(List(address), GetAlbumsOutcome::kStarted) << address;
    EXPECT_EQ(State().Rows().size(), 0u) << address;
    EXPECT_EQ(Caption(ctl::标签_动态), "相册列表获取完毕,共计0个") << address;
  }
  EXPECT_EQ(ctx_.source.Get().id, "nobody");
}

TEST_F(GetAlbumsTest, SingleAlbumIsListedUnderItsCleanedTitle) {
  controls_.SetColumnWidth(kColumnCover, 100);
  ASSERT_EQ(List(" http://www.douban.com/photos/album/1620000002/ ", true),
            GetAlbumsOutcome::kStarted);
  EXPECT_EQ(RequestLines(),
            (std::vector<std::string>{"GET www.douban.com/photos/album/1620000002/"}));
  const Source source = ctx_.source.Get();
  EXPECT_EQ(source.address, "http://www.douban.com/photos/album/1620000002/");
  EXPECT_EQ(source.id, "1620000002");
  EXPECT_EQ(GbkToUtf8(source.title), "春天上樱花");
  const ControlsState state = State();
  ASSERT_EQ(state.Rows().size(), 1u);
  EXPECT_EQ(Cell(0, kColumnNumber), "1");
  EXPECT_EQ(Cell(0, kColumnName), "春天上樱花");
  EXPECT_EQ(Cell(0, kColumnAddress), "http://www.douban.com/photos/album/1620000002/");
  EXPECT_TRUE(state.Rows()[0].checked);
  EXPECT_EQ(state.Rows()[0].cover, nullptr);
  EXPECT_EQ(state.ColumnWidths()[kColumnCover], 0);
  EXPECT_EQ(Caption(ctl::标签_进度条比例), "100%");
  EXPECT_EQ(Caption(ctl::标签_动态), "相册列表获取完毕,共计1个");
}

TEST_F(GetAlbumsTest, AlbumAddressWithoutSlashFollowsTheRedirect) {
  ASSERT_EQ(List("http://www.douban.com/photos/album/1620000006"), GetAlbumsOutcome::kStarted);
  EXPECT_EQ(ctx_.source.Get().id, "1620000006");
  EXPECT_EQ(GbkToUtf8(ctx_.source.Get().title), "運動會誠品質感");
  EXPECT_EQ(Cell(0, kColumnAddress), "http://www.douban.com/photos/album/1620000006");
}

TEST_F(GetAlbumsTest, RejectedAddressesChangeNothing) {
  ASSERT_EQ(List("http://www.douban.com/people/xiaoming/"), GetAlbumsOutcome::kStarted);
  double_->ClearRequests();
  const Text log = controls_.Log();
  struct Case {
    const char* typed;
    GetAlbumsOutcome outcome;
    const char* message;
  } cases[] = {
      {"", GetAlbumsOutcome::kEmptyAddress, "请输入网址"},
      {"http://www.douban.com/People/ahua/", GetAlbumsOutcome::kBadAddress, "网址格式不符"},
      {"www.example.com/people/ahua/", GetAlbumsOutcome::kBadAddress, "网址格式不符"},
      {"　 ", GetAlbumsOutcome::kBadAddress, "网址格式不符"},
  };
  std::vector<Text> messages;
  for (const Case& c : cases) {
    EXPECT_EQ(List(c.typed), c.outcome) << c.typed;
    messages.push_back(Utf8ToGbk(c.message));
  }
  EXPECT_EQ(view_->Messages(), messages);
  EXPECT_TRUE(RequestLines().empty());
  EXPECT_EQ(State().Rows().size(), 2u);
  EXPECT_EQ(ctx_.source.Get().id, "xiaoming");
  EXPECT_EQ(controls_.Log(), log);
}

}  // namespace
}  // namespace ak::test
