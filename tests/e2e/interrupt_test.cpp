// Ctrl-C in the middle of an album: the run ends through the end command with status 130,
// leaving only whole pictures and no record of a photo that is not on the disk; the next run
// with --record finishes the album.

#include <signal.h>

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "tests/e2e/e2e_support.h"
#include "tests/support/hang_guard.h"

namespace ak::e2e {
namespace {

class InterruptTest : public EndToEndTest {};

TEST_F(InterruptTest, CtrlCMidAlbumLeavesWholePicturesAndTrueRecordsAndTheRerunFinishes) {
  const fake::Album& garden = FixtureAlbum(kGardenAlbum);
  // The fifth photo's picture is answered slowly: the run is inside the album, four pictures
  // saved, when the double has logged that request.
  const std::string slowPicture = "/view/photo/photo/public/p" + garden.photos[4].id + ".jpg";
  StartDouble({"--slow-ms", "3000", "--slow-match", slowPicture});
  const std::vector<std::string> args =
      DownloadArgs({"--browse", "--medium", "--record", "--connections", "3"});
  {
    ProgramRun run(args, Environment());
    ASSERT_TRUE(run.started());
    const bool reached = testing::EventuallyTrue([&] {
      // The slow picture under way and the four before it saved: with three connections the
      // pictures after it are in flight too.
      bool asked = false;
      for (const test::LoggedRequest& request : douban().Requests()) {
        asked = asked || request.target == slowPicture;
      }
      if (asked && FilesUnder(AlbumFolder(kGardenAlbum)).size() >= 4) {
        const auto files = FilesUnder(AlbumFolder(kGardenAlbum));
        int first = 0;
        for (int n = 1; n <= 4; ++n) first += files.count(std::to_string(n) + "__.jpg");
        if (first == 4) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      return false;
    });
    ASSERT_TRUE(reached) << "the run never asked for the slow picture";
    run.Signal(SIGINT);
    const ProgramResult result = run.Wait(std::chrono::seconds(30));
    ASSERT_EQ(result.exitStatus, 130) << Describe(result);
    EXPECT_EQ(result.out.find("全部下载完毕"), std::string::npos) << Describe(result);
  }

  // Only whole pictures under their final names: photo n of the album in "n__.jpg".
  const std::regex pictureName(R"(([0-9]+)__\.jpg)");
  const std::filesystem::path folder = AlbumFolder(kGardenAlbum);
  std::set<std::string> savedIds;
  for (const std::string& entry : EntriesUnder(saveFolder())) {
    const std::filesystem::path path(entry);
    if (std::filesystem::is_directory(saveFolder() / path)) continue;
    std::smatch match;
    const std::string name = path.filename().string();
    ASSERT_EQ(path.parent_path(), folder.lexically_relative(saveFolder())) << entry;
    ASSERT_TRUE(std::regex_match(name, match, pictureName)) << "not a picture's name: " << entry;
    const std::size_t number = std::stoul(match[1].str());
    ASSERT_GE(number, 1u);
    ASSERT_LE(number, garden.photos.size());
    const std::string& id = garden.photos[number - 1].id;
    EXPECT_TRUE(IsWholePictureOf(testing::ReadFileBytes(saveFolder() / path), id))
        << entry << " is not a whole picture of photo " << id;
    savedIds.insert(id);
  }
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(savedIds.contains(garden.photos[i].id)) << i + 1;
  EXPECT_FALSE(savedIds.contains(garden.photos[4].id));
  // No record without its picture on the disk.
  const std::set<std::string> recorded = RecordedPhotoIds(home(), kPerson);
  for (const std::string& id : recorded) {
    EXPECT_TRUE(savedIds.contains(id)) << "photo " << id << " recorded but not saved";
  }

  // The next run, the double answering at its normal pace, fetches what is missing only.
  douban_.reset();
  StartDouble();
  const ProgramResult rerun = Run(args);
  ASSERT_EQ(rerun.exitStatus, 0) << Describe(rerun);
  std::set<std::string> fetched;
  for (const test::LoggedRequest& request : PictureRequests(douban().Requests())) {
    const std::string id = PhotoIdOf(request);
    EXPECT_FALSE(recorded.contains(id)) << "the rerun fetched recorded photo " << id;
    EXPECT_TRUE(fetched.insert(id).second) << "photo " << id << " fetched twice";
  }
  EXPECT_TRUE(fetched.contains(garden.photos[4].id));
  const std::map<std::string, std::string> files = FilesUnder(folder);
  EXPECT_TRUE(files == ExpectedAlbumFiles(kGardenAlbum, Mode::kBrowse, Size::kMedium))
      << files.size() << " files in the album folder";
  EXPECT_EQ(FilesUnder(AlbumFolder(kSnowAlbum)).size(), 1u);
  EXPECT_EQ(FilesUnder(AlbumFolder(kSeaAlbum)).size(), 4u);
}

TEST_F(InterruptTest, CtrlCWhileListingEndsBeforeAnyDownload) {
  StartDouble();
  ProgramRun run(DownloadArgs({"--browse", "--medium"}), Environment());
  ASSERT_TRUE(run.started());
  // The listing pauses after its first page, so the run is still listing when the line shows.
  ASSERT_TRUE(run.WaitForOutput(
      [](const std::string& out, const std::string&) {
        return out.find("正努力获取相册列表") != std::string::npos;
      },
      std::chrono::seconds(30)));
  run.Signal(SIGINT);
  const ProgramResult result = run.Wait(std::chrono::seconds(30));
  ASSERT_EQ(result.exitStatus, 130) << Describe(result);
  EXPECT_EQ(result.out.find("正在统计已选中的相册"), std::string::npos) << Describe(result);
  EXPECT_TRUE(PictureRequests(douban().Requests()).empty());
  EXPECT_TRUE(EntriesUnder(saveFolder()).empty());
}

}  // namespace
}  // namespace ak::e2e
