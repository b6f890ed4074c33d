// What the archive features read from and write into an album folder: whole pictures told from
// cut-off ones, files tied to photos by their names, and album.json merged with an earlier one.

#include <gtest/gtest.h>

#include <string>

#include "base/codec.h"
#include "download/album_metadata.h"
#include "download/pictures_on_disk.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0", 4) + "body" + "\xFF\xD9";
const std::string kPng = std::string("\x89PNG\r\n\x1A\n", 8) + "IHDRdata" +
                         std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12);

TEST(PicturesOnDiskTest, WholePicturesAreToldFromCutOffOnes) {
  struct Row {
    const char* what;
    std::string bytes;
    bool whole;
  };
  const Row rows[] = {
      {"jpeg", kJpeg, true},
      {"jpeg padded with zeros", kJpeg + std::string(3, '\0'), true},
      {"jpeg cut off", kJpeg.substr(0, kJpeg.size() - 1), false},
      {"png", kPng, true},
      {"png cut off", kPng.substr(0, kPng.size() - 4), false},
      {"gif", "GIF89a" + std::string(10, 'x') + ";", true},
      {"webp", std::string("RIFF\x08\0\0\0WEBPVP8 ", 16), true},
      {"webp cut off", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), false},
      {"an error page", "<html>404</html>", false},
      {"empty", "", false},
  };
  for (const Row& row : rows) EXPECT_EQ(IsWholePicture(row.bytes), row.whole) << row.what;
}

TEST(PicturesOnDiskTest, FilesAreClaimedByRunningNumberAndId) {
  testing::TempFolder folder;
  for (const char* name : {"1__.jpg", "2_123_.jpg", "3_.jpg", "4_描述_.jpg", "5_999_.jpg"}) {
    WriteFileBytes(folder.path() / name, kJpeg);
  }
  WriteFileBytes(folder.path() / "6__.jpg", kJpeg.substr(0, 5));
  WriteFileBytes(folder.path() / "notes.txt", "mine");
  WriteFileBytes(folder.path() / kAlbumMetadataFileName, "{}");
  FolderPictures pictures(folder.path());
  EXPECT_EQ(pictures.Claim(1, "100"), "1__.jpg");
  EXPECT_EQ(pictures.Claim(2, "123"), "2_123_.jpg");
  EXPECT_EQ(pictures.Claim(3, "300"), "3_.jpg");
  EXPECT_EQ(pictures.Claim(4, "400"), Utf8ToGbk("4_描述_.jpg"));
  EXPECT_EQ(pictures.Claim(5, "500"), "");  // another photo's id
  EXPECT_EQ(pictures.Claim(6, "600"), "");  // cut off
  EXPECT_EQ(pictures.Claim(1, "100"), "");  // claimed once
  EXPECT_EQ(pictures.Claim(7, "700"), "");
  // 5_999_.jpg, 6__.jpg and notes.txt; album.json is the program's own.
  EXPECT_EQ(pictures.Unclaimed(), 3);
}

MetadataPhoto Photo(MetadataPhoto::State state, const char* id, int number, const char* file) {
  MetadataPhoto photo;
  photo.state = state;
  photo.id = id;
  photo.number = number;
  photo.file = file;
  if (state == MetadataPhoto::State::kFailed) photo.error = "no picture came";
  return photo;
}

TEST(AlbumMetadataTest, ARerunKeepsWhatIsStillOnTheDiskAndNothingElse) {
  testing::TempFolder folder;
  using State = MetadataPhoto::State;
  AlbumMetadata first;
  first.Add(Photo(State::kSaved, "11", 1, "1__.jpg"));
  first.Add(Photo(State::kSaved, "22", 2, "2__.jpg"));
  first.Add(Photo(State::kSaved, "33", 3, "3__.jpg"));
  first.Add(Photo(State::kFailed, "44", 4, ""));
  for (const char* name : {"1__.jpg", "2__.jpg", "3__.jpg"}) {
    WriteFileBytes(folder.path() / name, kJpeg);
  }
  ASSERT_TRUE(first.Write(folder.path()));

  // The user deleted photo 2; the service now numbers another photo 3; photo 1 failed this time
  // (its earlier file stays), photo 4 is saved now.
  std::filesystem::remove(folder.path() / "2__.jpg");
  AlbumMetadata second;
  second.Add(Photo(State::kFailed, "11", 1, ""));
  second.Add(Photo(State::kSaved, "35", 3, "3__.jpg"));
  second.Add(Photo(State::kSaved, "44", 4, "4__.jpg"));
  WriteFileBytes(folder.path() / "4__.jpg", kJpeg);
  ASSERT_TRUE(second.Write(folder.path()));

  const std::string json = ReadFileBytes(folder.path() / kAlbumMetadataFileName);
  std::string listed;
  for (std::size_t at = json.find("\"photos\"");
       (at = json.find("\"id\":\"", at)) != std::string::npos; at += 6) {
    listed += json.substr(at + 6, 2) + " ";
  }
  EXPECT_EQ(listed, "11 35 44 ") << json;
  EXPECT_EQ(json.find("\"error\""), std::string::npos) << json;
}

}  // namespace
}  // namespace ak
