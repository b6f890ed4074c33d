// `albumkeeper download` against today's service (the double's --today): the later album
// markup paged by m_start, pictures that need the service's Referer, originals for signed-in
// users, and an API that needs a key.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"
#include "tests/support/temp_folder.h"

namespace ak::e2e {
namespace {

constexpr const char* kSignInLine = "原始尺寸的照片只给登录的用户";

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

class TodayTest : public EndToEndTest {
 protected:
  // Every file the three albums must hold, by path under the save folder.
  static std::map<std::string, std::string> ExpectedTree(Mode mode, Size size) {
    std::map<std::string, std::string> tree;
    for (const char* album : {kGardenAlbum, kSeaAlbum, kSnowAlbum}) {
      const std::string folder = std::string(kOwnerFolder) + "/" + AlbumFolderName(album) + "/";
      for (auto& [name, bytes] : ExpectedAlbumFiles(album, mode, size)) {
        tree[folder + name] = std::move(bytes);
      }
    }
    return tree;
  }

  void SignIn() {
    testing::WriteFileBytes(home() / "cookies.txt",
                            ".douban.com\tTRUE\t/\tFALSE\t4102444800\tdbcl2\t\"1000001:me\"\n");
    std::filesystem::permissions(home() / "cookies.txt", std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_write);
  }

  std::size_t RequestsStartingWith(const std::string& prefix) {
    const auto log = douban().Requests();
    return static_cast<std::size_t>(std::count_if(
        log.begin(), log.end(), [&](const auto& r) { return r.target.starts_with(prefix); }));
  }
};

struct Way {
  const char* name;
  Mode mode;
  Size size;
  std::vector<std::string> options;
};

class TodayWayTest : public TodayTest, public ::testing::WithParamInterface<Way> {};

TEST_P(TodayWayTest, SavesEveryPhotoInTheSizeAskedFor) {
  const Way& way = GetParam();
  StartDouble({"--today"});
  if (way.size == Size::kOriginal) SignIn();
  std::vector<std::string> options = way.options;
  options.push_back("--no-record");
  options.push_back("--no-wait");
  const ProgramResult result = Download(options);
  ASSERT_EQ(result.exitStatus, 0) << Describe(result);
  EXPECT_EQ(FilesUnder(saveFolder()), ExpectedTree(way.mode, way.size)) << Describe(result);
  EXPECT_EQ(result.out.find(kSignInLine), std::string::npos) << Describe(result);
  if (way.mode == Mode::kBrowse) {
    // The garden's second page (19 photos) came through m_start once start repeated the first.
    EXPECT_EQ(RequestsStartingWith(std::string("/photos/album/") + kGardenAlbum + "/?m_start=18"),
              1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, TodayWayTest,
    ::testing::Values(
        Way{"BrowseMedium", Mode::kBrowse, Size::kMedium, {"--browse", "--medium"}},
        Way{"BrowseLarge", Mode::kBrowse, Size::kLarge, {"--browse", "--large"}},
        Way{"BrowseOriginal", Mode::kBrowse, Size::kOriginal, {"--browse", "--original"}},
        Way{"ApiLargeWithKey",
            Mode::kApi,
            Size::kLarge,
            {"--api", "--large", "--api-key", "fake-valid-key"}}),
    [](const auto& way) { return std::string(way.param.name); });

TEST_F(TodayTest, OriginalsWithoutASignInAreLargeOnesWithOneLineAndNoHold) {
  StartDouble({"--today"});
  const ProgramResult result = Download({"--browse", "--original", "--no-record"});
  ASSERT_EQ(result.exitStatus, 0) << Describe(result);
  EXPECT_EQ(FilesUnder(saveFolder()), ExpectedTree(Mode::kBrowse, Size::kLarge));
  EXPECT_EQ(Occurrences(result.out, kSignInLine), 1u) << Describe(result);
  EXPECT_EQ(result.err.find("holds"), std::string::npos) << Describe(result);
  EXPECT_EQ(RequestsStartingWith("/view/photo/raw/"), 0u);
}

TEST_F(TodayTest, AnApiThatRefusesTheKeyFailsTheBatchOnceWithoutSavingOrHolding) {
  const struct {
    std::vector<std::string> key;
    const char* said;
  } cases[] = {{{}, "131 apikey is required"},
               {{"--api-key", "fake-blocked-key"}, "105 apikey_is_blocked"},
               {{"--api-key", "wrong"}, "104 invalid_apikey"}};
  StartDouble({"--today"});
  for (const auto& c : cases) {
    douban().ClearRequests();
    std::vector<std::string> options = {"--api", "--medium", "--record"};
    options.insert(options.end(), c.key.begin(), c.key.end());
    const ProgramResult result = Download(options);
    EXPECT_EQ(result.exitStatus, 1) << Describe(result);
    EXPECT_EQ(Occurrences(result.out, c.said), 1u) << Describe(result);
    // No album "finished", nothing saved or recorded, and one request: the key is not offered
    // again album after album, and a refused key is no block to wait out.
    EXPECT_EQ(result.out.find("---完成相册"), std::string::npos) << Describe(result);
    EXPECT_EQ(result.err.find("refused"), std::string::npos) << Describe(result);
    EXPECT_TRUE(FilesUnder(saveFolder()).empty());
    EXPECT_TRUE(RecordedPhotoIds(home(), kPerson).empty());
    EXPECT_EQ(RequestsStartingWith("/v2/"), 1u);
  }
}

}  // namespace
}  // namespace ak::e2e
