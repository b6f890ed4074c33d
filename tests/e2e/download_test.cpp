// `albumkeeper download` of three albums in each mode and size, over one to eight connections:
// the folder tree, the file names and the picture bytes, the same whatever the connections; then
// a rerun with --record that fetches no picture.

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace ak::e2e {
namespace {

struct Way {
  const char* name;
  Mode mode;
  Size size;
  const char* connections;
};

class DownloadTest : public EndToEndTest, public ::testing::WithParamInterface<Way> {
 protected:
  std::vector<std::string> WayOptions() const {
    const Way way = GetParam();
    return {way.mode == Mode::kApi ? "--api" : "--browse",
            way.size == Size::kLarge ? "--large" : "--medium", "--connections", way.connections};
  }

  // Every file the three downloaded albums must hold, by path under the save folder.
  std::map<std::string, std::string> ExpectedTree() const {
    std::map<std::string, std::string> tree;
    for (const char* album : {kGardenAlbum, kSeaAlbum, kSnowAlbum}) {
      const std::string folder = std::string(kOwnerFolder) + "/" + AlbumFolderName(album) + "/";
      for (auto& [name, bytes] : ExpectedAlbumFiles(album, GetParam().mode, GetParam().size)) {
        tree[folder + name] = std::move(bytes);
      }
    }
    return tree;
  }
};

// Names the test cases after the way, so a failure says which one.
std::string WayName(const ::testing::TestParamInfo<Way>& info) { return info.param.name; }

TEST_P(DownloadTest, SavesEveryPhotoOfTheChosenAlbumsThenARecordedRerunFetchesNothing) {
  StartDouble();
  std::vector<std::string> options = WayOptions();
  options.push_back("--no-record");
  const ProgramResult first = Download(options);
  ASSERT_EQ(first.exitStatus, 0) << Describe(first);
  // The log, in UTF-8 on standard output, reports the whole batch.
  EXPECT_NE(first.out.find("准备下载相册《花园》"), std::string::npos) << Describe(first);
  EXPECT_NE(first.out.find("---完成相册《海边日落4》下载"), std::string::npos) << Describe(first);
  EXPECT_NE(first.out.find("-------全部下载完毕--------"), std::string::npos) << Describe(first);
  EXPECT_EQ(first.out.find("不下载"), std::string::npos) << Describe(first);
  // The batch's counts come last on standard error.
  EXPECT_TRUE(first.err.ends_with("本次下载：保存24张，跳过（已下载过）0张，失败0张，被拒0张\n"))
      << Describe(first);

  const std::map<std::string, std::string> expected = ExpectedTree();
  const std::map<std::string, std::string> saved = FilesUnder(saveFolder());
  // Compared name by name first, so that a difference names the file.
  std::set<std::string> expectedNames;
  std::set<std::string> savedNames;
  for (const auto& entry : expected) expectedNames.insert(entry.first);
  for (const auto& entry : saved) savedNames.insert(entry.first);
  ASSERT_EQ(savedNames, expectedNames);
  for (const auto& [path, bytes] : expected) {
    EXPECT_TRUE(saved.at(path) == bytes) << path << " does not hold the double's picture";
  }
  // Nothing else: no folder of the album left out, no temporary file.
  EXPECT_EQ(EntriesUnder(saveFolder()).size(), expected.size() + 4);

  // Without the record box every saved photo is recorded all the same.
  std::set<std::string> ids;
  for (const char* album : {kGardenAlbum, kSeaAlbum, kSnowAlbum}) {
    for (const fake::Photo& photo : FixtureAlbum(album).photos) ids.insert(photo.id);
  }
  EXPECT_EQ(RecordedPhotoIds(home(), kPerson), ids);

  douban().ClearRequests();
  options.back() = "--record";
  const ProgramResult rerun = Download(options);
  ASSERT_EQ(rerun.exitStatus, 0) << Describe(rerun);
  EXPECT_NE(rerun.out.find("已经勾选了防止重复下载功能"), std::string::npos) << Describe(rerun);
  const std::vector<test::LoggedRequest> requests = douban().Requests();
  EXPECT_FALSE(requests.empty());  // the log is read after the run: the albums were walked
  for (const test::LoggedRequest& picture : PictureRequests(requests)) {
    ADD_FAILURE() << "the recorded rerun fetched " << picture.Header("Host") << picture.target;
  }
  EXPECT_TRUE(FilesUnder(saveFolder()) == saved) << "the rerun changed the saved files";
}

INSTANTIATE_TEST_SUITE_P(EachModeAndSize, DownloadTest,
                         ::testing::Values(Way{"BrowseMedium", Mode::kBrowse, Size::kMedium, "1"},
                                           Way{"BrowseLarge", Mode::kBrowse, Size::kLarge, "3"},
                                           Way{"ApiMedium", Mode::kApi, Size::kMedium, "3"},
                                           Way{"ApiLarge", Mode::kApi, Size::kLarge, "8"}),
                         WayName);

}  // namespace
}  // namespace ak::e2e
