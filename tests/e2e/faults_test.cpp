// The service refusing in the middle of an album (its 403 block page from some request on),
// and pictures that break off half-way or come as an error page: no such answer is saved as a
// picture or recorded, the run exits 1, and a later run with --record fetches what failed.

#include <gtest/gtest.h>
#include <signal.h>

#include "tests/e2e/e2e_support.h"

namespace ak::e2e {
namespace {

class FaultsTest : public EndToEndTest {
 protected:
  // The files of the album that the faults let through: the expected files of the photos not
  // in `failed` (numbers counted from 1).
  static std::map<std::string, std::string> FilesWithout(const std::string& album, Mode mode,
                                                         const std::set<std::size_t>& failed) {
    std::map<std::string, std::string> files = ExpectedAlbumFiles(album, mode, Size::kMedium);
    for (const std::size_t number : failed) {
      const std::string prefix = std::to_string(number) + "_";
      std::erase_if(files,
                    [&prefix](const auto& entry) { return entry.first.starts_with(prefix); });
    }
    return files;
  }

  // Starts the double so that its block starts after the fourth picture of the first album (its
  // album page, its first photo-list page, four pictures), counted from a listing of the person
  // on a double of its own. Returns how many requests that listing takes.
  std::size_t StartDoubleBlockingAfterFourPictures() {
    StartDouble();
    const ProgramResult listing = Run({"list", kPersonAddress});
    EXPECT_EQ(listing.exitStatus, 0) << Describe(listing);
    const std::size_t listingRequests = douban().Requests().size();
    douban_.reset();
    StartDouble({"--block-after", std::to_string(listingRequests + 2 + 4)});
    return listingRequests;
  }

  // The ids of the garden album's photos whose files are there, each checked to be its photo's
  // whole picture.
  std::set<std::string> WholePicturesOfTheGarden() {
    const fake::Album& garden = FixtureAlbum(kGardenAlbum);
    std::set<std::string> saved;
    for (const auto& [name, bytes] : FilesUnder(AlbumFolder(kGardenAlbum))) {
      const std::size_t number = std::stoul(name);
      if (number < 1 || number > garden.photos.size()) {
        ADD_FAILURE() << "a file of no photo: " << name;
        continue;
      }
      EXPECT_TRUE(IsWholePictureOf(bytes, garden.photos[number - 1].id)) << name;
      saved.insert(garden.photos[number - 1].id);
    }
    return saved;
  }
};

// With --no-wait a refusal ends the batch instead of holding it for the user.
TEST_F(FaultsTest, BlockPageMidAlbumIsNotSavedAndTheRunExitsOne) {
  const std::size_t listingRequests = StartDoubleBlockingAfterFourPictures();

  // One connection: the block then falls exactly after the fourth picture of the album.
  const ProgramResult result =
      Download({"--browse", "--medium", "--no-record", "--no-wait", "--connections", "1"});
  EXPECT_EQ(result.exitStatus, 1) << Describe(result);
  const std::vector<test::LoggedRequest> requests = douban().Requests();
  // The block came inside the album: pictures before it and after it were asked for.
  const std::vector<test::LoggedRequest> pictures = PictureRequests(requests);
  ASSERT_GT(pictures.size(), 4u);
  ASSERT_GT(pictures[3].seq, static_cast<long>(listingRequests));
  ASSERT_EQ(static_cast<std::size_t>(pictures[4].seq), listingRequests + 2 + 5);

  // The four pictures before the block, whole; nothing of the block page; the other albums,
  // whose pages were refused, have no folder.
  std::map<std::string, std::string> expected;
  const std::string folder = std::string(kOwnerFolder) + "/" + AlbumFolderName(kGardenAlbum) + "/";
  for (auto& [name, bytes] : FilesWithout(
           kGardenAlbum, Mode::kBrowse, {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19})) {
    expected[folder + name] = std::move(bytes);
  }
  EXPECT_TRUE(FilesUnder(saveFolder()) == expected) << Describe(result);
  EXPECT_EQ(EntriesUnder(saveFolder()).size(), expected.size() + 2);
  // The four pictures the service gave, whichever they were, are saved whole and recorded;
  // nothing refused is.
  const std::set<std::string> saved = WholePicturesOfTheGarden();
  EXPECT_EQ(saved.size(), 4u);
  EXPECT_EQ(RecordedPhotoIds(home(), kPerson), saved);
}

// Without --no-wait a refusal holds the batch: the program says so on standard error and waits
// (its standard input reads nothing, so Enter never comes); Ctrl-C then ends it with 130, and the
// refused picture is neither saved nor recorded.
TEST_F(FaultsTest, BlockPageHoldsTheBatchUntilCtrlC) {
  StartDoubleBlockingAfterFourPictures();

  // Three pictures in flight when the refusals begin.
  ProgramRun run(DownloadArgs({"--browse", "--medium", "--no-record", "--connections", "3"}),
                 Environment());
  ASSERT_TRUE(run.started());
  ASSERT_TRUE(run.WaitForOutput(
      [](const std::string&, const std::string& err) {
        return err.find("the download holds") != std::string::npos;
      },
      std::chrono::seconds(60)));
  const std::size_t requestsWhenHeld = douban().Requests().size();
  run.Signal(SIGINT);
  const ProgramResult result = run.Wait(std::chrono::seconds(60));
  EXPECT_EQ(result.exitStatus, 130) << Describe(result);
  // Held means held: nothing was asked for between the notice and Ctrl-C.
  EXPECT_EQ(douban().Requests().size(), requestsWhenHeld);
  // The four pictures the service gave, whichever they were, are saved whole and recorded;
  // nothing refused is.
  const std::set<std::string> saved = WholePicturesOfTheGarden();
  EXPECT_EQ(saved.size(), 4u);
  EXPECT_EQ(RecordedPhotoIds(home(), kPerson), saved);
}

class BrokenPicturesTest : public FaultsTest, public ::testing::WithParamInterface<Mode> {};

TEST_P(BrokenPicturesTest, CutOffAndErrorPagesAreNotSavedAndARecordedRerunFetchesThem) {
  const Mode mode = GetParam();
  const fake::Album& garden = FixtureAlbum(kGardenAlbum);
  const std::string& cut = garden.photos[2].id;
  const std::string& errorPage = garden.photos[5].id;
  const std::string& missing = garden.photos[6].id;
  StartDouble({"--cut-off", "/view/photo/photo/public/p" + cut + ".jpg",  //
               "--picture-error", errorPage + "=200",                     //
               "--picture-error", missing + "=404"});
  const std::string modeOption = mode == Mode::kApi ? "--api" : "--browse";
  const std::vector<std::string> options = {modeOption, "--medium", "--record"};

  const ProgramResult result = Download(options);
  EXPECT_EQ(result.exitStatus, 1) << Describe(result);
  EXPECT_NE(result.out.find("相册《花园19》有3张照片没有下载成功"), std::string::npos)
      << Describe(result);
  EXPECT_NE(result.out.find("-------全部下载完毕--------"), std::string::npos) << Describe(result);
  EXPECT_TRUE(FilesUnder(AlbumFolder(kGardenAlbum)) == FilesWithout(kGardenAlbum, mode, {3, 6, 7}));
  EXPECT_EQ(EntriesUnder(AlbumFolder(kGardenAlbum)).size(), garden.photos.size() - 3);
  EXPECT_EQ(FilesUnder(AlbumFolder(kSeaAlbum)).size(), 4u);
  const std::set<std::string> recorded = RecordedPhotoIds(home(), kPerson);
  for (const std::string* id : {&cut, &errorPage, &missing}) {
    EXPECT_FALSE(recorded.contains(*id)) << "failed photo " << *id << " was recorded";
  }

  // Once the double serves them, a rerun with --record fetches the three and nothing else.
  douban_.reset();
  StartDouble();
  const ProgramResult rerun = Download(options);
  ASSERT_EQ(rerun.exitStatus, 0) << Describe(rerun);
  std::set<std::string> fetched;
  for (const test::LoggedRequest& request : PictureRequests(douban().Requests())) {
    fetched.insert(PhotoIdOf(request));
  }
  EXPECT_EQ(fetched, (std::set<std::string>{cut, errorPage, missing}));
  EXPECT_TRUE(FilesUnder(AlbumFolder(kGardenAlbum)) ==
              ExpectedAlbumFiles(kGardenAlbum, mode, Size::kMedium));
}

std::string ModeName(const ::testing::TestParamInfo<Mode>& mode) {
  return mode.param == Mode::kApi ? "Api" : "Browse";
}

INSTANTIATE_TEST_SUITE_P(EachMode, BrokenPicturesTest, ::testing::Values(Mode::kBrowse, Mode::kApi),
                         ModeName);

}  // namespace
}  // namespace ak::e2e
