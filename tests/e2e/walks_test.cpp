// Walks against a service that claims more than it holds, albums that yield nothing, folders that
// cannot be made, and refusals that hold the run until Enter: the real program against the
// double, its exit status, its log and the requests it made.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"

namespace ak::e2e {
namespace {

class WalksTest : public EndToEndTest {
 protected:
  // Starts the run with its standard input open, waits for the hold notice of `work`, presses
  // Enter, and gives how the run ended.
  ProgramResult RunPressingEnterAfterTheHold(const std::vector<std::string>& args,
                                             const std::string& work) {
    ProgramRun run(args, Environment(), true);
    EXPECT_TRUE(run.started());
    const std::string notice = "the " + work + " holds";
    EXPECT_TRUE(run.WaitForOutput(
        [&notice](const std::string&, const std::string& err) {
          return err.find(notice) != std::string::npos;
        },
        std::chrono::seconds(60)));
    EXPECT_TRUE(run.WriteInput("\n"));
    return run.Wait(std::chrono::seconds(60));
  }
  static std::size_t PhotosOfTheDownloadedAlbums() {
    return FixtureAlbum(kGardenAlbum).photos.size() + FixtureAlbum(kSeaAlbum).photos.size() +
           FixtureAlbum(kSnowAlbum).photos.size();
  }
};

TEST_F(WalksTest, AbsurdCountsEndAtTheLastRealPhotoAndSaveEveryOne) {
  for (const Mode mode : {Mode::kBrowse, Mode::kApi}) {
    SCOPED_TRACE(mode == Mode::kApi ? "api" : "browse");
    douban_.reset();
    StartDouble({"--photo-count", "2147483647", "--list-pages", "2147483647"});
    std::filesystem::remove_all(saveFolder() / kOwnerFolder);
    const ProgramResult result = RunProgram(
        DownloadArgs({mode == Mode::kApi ? "--api" : "--browse", "--medium", "--no-record"}),
        Environment(), std::chrono::seconds(60));
    ASSERT_FALSE(result.timedOut) << Describe(result);
    EXPECT_EQ(result.exitStatus, 0) << Describe(result);
    EXPECT_TRUE(FilesUnder(saveFolder() / kOwnerFolder / "花园2147483647") ==
                ExpectedAlbumFiles(kGardenAlbum, mode, Size::kMedium))
        << Describe(result);
    EXPECT_EQ(FilesUnder(saveFolder()).size(), PhotosOfTheDownloadedAlbums());
    EXPECT_NE(result.out.find("豆瓣声称相册《花园2147483647》有2147483647张照片，但只列出了19张"),
              std::string::npos)
        << Describe(result);
    EXPECT_NE((result.out + result.err).find("豆瓣声称相册列表有2147483647页，但第2页起没有相册"),
              std::string::npos)
        << Describe(result);
    // Pictures, and a page or two beyond the last photo of each album: nothing more.
    EXPECT_LT(douban().Requests().size(), PhotosOfTheDownloadedAlbums() + 20);
  }
}

TEST_F(WalksTest, AlbumsThatYieldNothingExitOneWithAReason) {
  const std::filesystem::path error = work_.path() / "error.json";
  testing::WriteFileBytes(error, R"({"code":104,"msg":"invalid_apikey"})");
  struct Case {
    std::vector<std::string> faults;
    const char* mode;
    const char* line;
  } cases[] = {
      {{"--garbage", "/photos/album/"}, "--browse", "》下载失败：相册页面上找不到照片数"},
      {{"--garbage", "/v2/album/"}, "--api", "》下载失败：API的应答不是照片列表"},
      {{"--new-layout", "--api-answer", "/v2/album/=" + error.string()},
       "--browse",
       "豆瓣的API拒绝了请求（104 invalid_apikey）"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.faults[0] + " " + c.faults[1]);
    douban_.reset();
    StartDouble(c.faults);
    const ProgramResult result = Download({c.mode, "--medium", "--no-record"});
    EXPECT_EQ(result.exitStatus, 1) << Describe(result);
    EXPECT_NE(result.out.find(c.line), std::string::npos) << Describe(result);
    EXPECT_TRUE(PictureRequests(douban().Requests()).empty());
    EXPECT_TRUE(FilesUnder(saveFolder()).empty());
  }
}

TEST_F(WalksTest, AlbumFolderThatCannotBeMadeIsSaidOncePerAlbumAndNoPictureIsFetched) {
  StartDouble();
  // A file where the owner's folder should be: no album folder can be made beneath it.
  testing::WriteFileBytes(saveFolder() / kOwnerFolder, "x");
  const ProgramResult result = Download({"--browse", "--medium", "--no-record"});
  EXPECT_EQ(result.exitStatus, 1) << Describe(result);
  std::size_t lines = 0;
  for (std::size_t at = result.out.find("无法创建文件夹"); at != std::string::npos;
       at = result.out.find("无法创建文件夹", at + 1)) {
    ++lines;
    EXPECT_NE(result.out.find("Not a directory", at), std::string::npos) << Describe(result);
  }
  EXPECT_EQ(lines, 3u) << Describe(result);
  EXPECT_EQ(result.out.find("照片无法保存"), std::string::npos) << Describe(result);
  EXPECT_TRUE(PictureRequests(douban().Requests()).empty());
}

TEST_F(WalksTest, PicturesRedirectedToTheLoginPageHoldAndEnterSavesEveryPhoto) {
  StartDouble({"--login-pictures", "1"});
  const ProgramResult result = RunPressingEnterAfterTheHold(
      DownloadArgs({"--browse", "--medium", "--no-record"}), "download");
  EXPECT_EQ(result.exitStatus, 0) << Describe(result);
  EXPECT_EQ(FilesUnder(saveFolder()).size(), PhotosOfTheDownloadedAlbums()) << Describe(result);
  EXPECT_TRUE(FilesUnder(AlbumFolder(kGardenAlbum)) ==
              ExpectedAlbumFiles(kGardenAlbum, Mode::kBrowse, Size::kMedium));
}

TEST_F(WalksTest, RefusalOfTheFirstRequestHoldsTheListingAndEnterListsEveryAlbum) {
  for (const bool download : {false, true}) {
    SCOPED_TRACE(download ? "download" : "list");
    douban_.reset();
    StartDouble({"--block-after", "0", "--block-count", "1"});
    std::filesystem::remove_all(saveFolder() / kOwnerFolder);
    const std::vector<std::string> args =
        download ? DownloadArgs({"--browse", "--medium", "--no-record"})
                 : std::vector<std::string>{"list", kPersonAddress};
    const ProgramResult result = RunPressingEnterAfterTheHold(args, "listing");
    EXPECT_EQ(result.exitStatus, 0) << Describe(result);
    if (download) {
      EXPECT_EQ(FilesUnder(saveFolder()).size(), PhotosOfTheDownloadedAlbums()) << Describe(result);
    } else {
      EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 4) << Describe(result);
    }
  }
}

}  // namespace
}  // namespace ak::e2e
