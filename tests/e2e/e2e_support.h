#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/program_run.h"
#include "tests/support/fake_douban_process.h"
#include "tests/support/temp_folder.h"
#include "tools/fake_douban/fixture.h"

namespace ak::e2e {

// The person whose albums the runs download, with the albums the tests name.
inline constexpr const char* kPerson = "tester";
inline constexpr const char* kPersonAddress = "http://www.douban.com/people/tester/";
// 19 photos: two photo-list pages in browse mode; photo 2 has no large picture.
inline constexpr const char* kGardenAlbum = "1710000001";
// Not in the --albums selection of the download runs.
inline constexpr const char* kSkippedAlbum = "1710000002";
inline constexpr const char* kSeaAlbum = "1710000003";
inline constexpr const char* kSnowAlbum = "1710000004";
// The owner's folder under the save folder.
inline constexpr const char* kOwnerFolder = "测试者";

// The double's fixture for these runs (JSON).
const std::string& FixtureJson();
const fake::Fixture& TheFixture();
const fake::Album& FixtureAlbum(const std::string& id);

enum class Mode { kBrowse, kApi };
// kOriginal: the double's originals under --today (a sign-in needed).
enum class Size { kMedium, kLarge, kOriginal };

// File name -> picture bytes that one album's folder must hold after a complete download in
// `mode` and `size`, computed from the fixture with the double's own picture maker: the names
// by running number (and, through the API, the photo id), the bytes of the size asked for, or
// of the medium picture where the photo has no large one.
std::map<std::string, std::string> ExpectedAlbumFiles(const std::string& albumId, Mode mode,
                                                      Size size);
// The album's folder name: the cleaned title and the photo count.
std::string AlbumFolderName(const std::string& albumId);

// Every file under `root`, by path relative to it ("测试者/花园19/1__.jpg"), with its bytes.
std::map<std::string, std::string> FilesUnder(const std::filesystem::path& root);
// Every entry (file or folder) under `root`, relative.
std::set<std::string> EntriesUnder(const std::filesystem::path& root);

// The photo ids held by the source's download record store in the program folder `home`.
std::set<std::string> RecordedPhotoIds(const std::filesystem::path& home,
                                       const std::string& source);

// Picture requests (medium and large pictures, not covers) in the double's request log.
std::vector<test::LoggedRequest> PictureRequests(const std::vector<test::LoggedRequest>& log);
// The photo id of a picture request's target ("/view/photo/photo/public/p123.jpg" gives 123).
std::string PhotoIdOf(const test::LoggedRequest& request);

// True when `bytes` is one of the double's pictures (medium or large) for photo `id`.
bool IsWholePictureOf(const std::string& bytes, const std::string& id);

// A test with its own double (the fixture above, plus `faults`), a program folder
// (ALBUMKEEPER_HOME) and a save folder, both empty at the start.
class EndToEndTest : public ::testing::Test {
 protected:
  // Starts the double with the faults given (options of fake_douban); once per test.
  void StartDouble(std::vector<std::string> faults = {});

  // The child's environment: the program folder and the double's addresses.
  EnvChanges Environment() const;
  ProgramResult Run(const std::vector<std::string>& args);
  ProgramResult Download(const std::vector<std::string>& options);
  // The arguments of a download of the person's albums 1, 3 and 4 into the save folder.
  std::vector<std::string> DownloadArgs(const std::vector<std::string>& options) const;

  const std::filesystem::path& home() const { return home_.path(); }
  const std::filesystem::path& saveFolder() const { return save_.path(); }
  std::filesystem::path AlbumFolder(const std::string& albumId) const;
  test::FakeDouban& douban() { return *douban_; }

  testing::TempFolder work_;
  testing::TempFolder home_;
  testing::TempFolder save_;
  std::unique_ptr<test::FakeDouban> douban_;
};

// gtest's printer for a run's outcome, so that a failed expectation shows what it printed.
std::string Describe(const ProgramResult& result);

}  // namespace ak::e2e
