// The archive features of `albumkeeper`: album.json beside the pictures, several addresses of an
// input file, the listing as JSON, and the import of pictures already on the disk.

#include <gtest/gtest.h>
#include <json-c/json.h>

#include <memory>

#include "tests/e2e/e2e_support.h"
#include "tools/fake_douban/addresses.h"

namespace ak::e2e {
namespace {

using Json = std::unique_ptr<json_object, decltype(&json_object_put)>;

Json ParseJson(const std::string& text) {
  return Json(json_tokener_parse(text.c_str()), &json_object_put);
}

json_object* Member(json_object* object, const char* name) {
  json_object* member = nullptr;
  json_object_object_get_ex(object, name, &member);
  return member;
}

std::string Str(json_object* object, const char* name) {
  json_object* member = Member(object, name);
  return member != nullptr && json_object_is_type(member, json_type_string)
             ? json_object_get_string(member)
             : "<none>";
}

long long Int(json_object* object, const char* name) {
  return json_object_get_int64(Member(object, name));
}

// The photo whose picture answers an error page in the metadata runs: the third of the garden.
constexpr const char* kFailingPhoto = "2255000003";

class ArchiveTest : public EndToEndTest {};

TEST_F(ArchiveTest, AlbumJsonListsEverySavedPhotoAndTheFailedOneAndSurvivesARerun) {
  StartDouble({"--picture-error", std::string(kFailingPhoto) + "=404"});
  const ProgramResult first = Download({"--api", "--medium", "--no-record", "--write-metadata"});
  ASSERT_EQ(first.exitStatus, 1) << Describe(first);  // one photo failed

  auto check = [&](const char* when) {
    for (const char* albumId : {kGardenAlbum, kSeaAlbum, kSnowAlbum}) {
      SCOPED_TRACE(std::string(when) + ", album " + albumId);
      const std::filesystem::path folder = AlbumFolder(albumId);
      const Json root = ParseJson(testing::ReadFileBytes(folder / "album.json"));
      ASSERT_NE(root, nullptr);
      const fake::Album& album = FixtureAlbum(albumId);
      json_object* head = Member(root.get(), "album");
      EXPECT_EQ(Str(head, "id"), album.id);
      EXPECT_EQ(Str(head, "name"), album.title);  // as received, its space kept
      EXPECT_EQ(Str(head, "owner"), kOwnerFolder);
      EXPECT_EQ(Str(head, "address"), "http://www.douban.com/photos/album/" + album.id + "/");
      EXPECT_EQ(Int(head, "photo_count"), static_cast<long long>(album.photos.size()));
      json_object* photos = Member(root.get(), "photos");
      ASSERT_EQ(json_object_array_length(photos), album.photos.size());
      for (std::size_t i = 0; i < album.photos.size(); ++i) {
        json_object* entry = json_object_array_get_idx(photos, i);
        const fake::Photo& photo = album.photos[i];
        EXPECT_EQ(Str(entry, "id"), photo.id);
        EXPECT_EQ(Int(entry, "number"), static_cast<long long>(i + 1));
        EXPECT_EQ(Str(entry, "description"), photo.desc.value_or("")) << photo.id;
        if (photo.id == kFailingPhoto) {
          EXPECT_EQ(Member(entry, "file"), nullptr);
          EXPECT_NE(Str(entry, "error").find("404"), std::string::npos);
          EXPECT_FALSE(std::filesystem::exists(folder / ("3_" + photo.id + "_.jpg")));
          continue;
        }
        const std::string file = Str(entry, "file");
        EXPECT_EQ(file, std::to_string(i + 1) + "_" + photo.id + "_.jpg");
        const std::string bytes = testing::ReadFileBytes(folder / file);
        EXPECT_TRUE(IsWholePictureOf(bytes, photo.id)) << file;
        EXPECT_EQ(Int(entry, "bytes"), static_cast<long long>(bytes.size()));
        EXPECT_EQ(Str(entry, "url"),
                  fake::PictureUrl("http", photo.host, fake::PictureSize::kMedium, photo.id));
        EXPECT_EQ(Str(entry, "size"), "medium");
      }
    }
  };
  check("first run");

  // A recorded rerun fetches only the failed photo again; the entries of the photos saved
  // before stay, as their files are still there.
  const ProgramResult rerun = Download({"--api", "--medium", "--record", "--write-metadata"});
  ASSERT_EQ(rerun.exitStatus, 1) << Describe(rerun);
  check("rerun");
}

TEST_F(ArchiveTest, AnInputFileRunsEachAddressAsItsOwnSourceAndNamesTheBadLine) {
  StartDouble();
  const std::filesystem::path list = work_.path() / "addresses.txt";
  testing::WriteFileBytes(list,
                          "# people and one album\n"
                          "http://www.douban.com/people/tester/\n"
                          "\n"
                          "  http://www.douban.com/people/visitor/  \n"
                          "http://www.example.com/nothing\n"
                          "http://www.douban.com/photos/album/1710000004/\n");
  const ProgramResult result = Run(
      {"download", "--input", list.string(), "--api", "--medium", "--to", saveFolder().string()});
  // The bad line makes the run's status a usage error; the good lines all ran.
  EXPECT_EQ(result.exitStatus, 2) << Describe(result);
  EXPECT_NE(result.err.find("addresses.txt:5: not the address"), std::string::npos)
      << Describe(result);
  const std::set<std::string> entries = EntriesUnder(saveFolder());
  EXPECT_TRUE(entries.count("测试者/花园19/19_17100000010016_.jpg")) << Describe(result);
  EXPECT_TRUE(entries.count("测试者/不下载2/2_17100000020002_.jpg"));
  EXPECT_TRUE(entries.count("访客/小猫2/2_17200000010002_.jpg"));
  EXPECT_TRUE(entries.count("雪山/雪山1/1_17100000040001_.jpg"));
  // One record store per source: the two people and the album by its number.
  EXPECT_EQ(RecordedPhotoIds(home(), "visitor"),
            (std::set<std::string>{"17200000010001", "17200000010002"}));
  EXPECT_EQ(RecordedPhotoIds(home(), "1710000004"), (std::set<std::string>{"17100000040001"}));
  EXPECT_EQ(RecordedPhotoIds(home(), kPerson).size(), 19u + 2 + 4 + 1);
}

TEST_F(ArchiveTest, ListJsonHoldsTheFixturesAlbums) {
  StartDouble();
  const ProgramResult result = Run({"list", kPersonAddress, "--json"});
  ASSERT_EQ(result.exitStatus, 0) << Describe(result);
  const Json root = ParseJson(result.out);
  ASSERT_NE(root, nullptr) << result.out;
  EXPECT_EQ(Str(root.get(), "owner"), kOwnerFolder);
  EXPECT_EQ(Str(Member(root.get(), "source"), "id"), kPerson);
  EXPECT_EQ(Str(Member(root.get(), "source"), "kind"), "person");
  const fake::Person& person = *TheFixture().FindPerson(kPerson);
  json_object* albums = Member(root.get(), "albums");
  ASSERT_EQ(json_object_array_length(albums), person.albums.size());
  for (std::size_t i = 0; i < person.albums.size(); ++i) {
    json_object* row = json_object_array_get_idx(albums, i);
    const fake::Album& album = person.albums[i];
    EXPECT_EQ(Int(row, "number"), static_cast<long long>(i + 1));
    EXPECT_EQ(Str(row, "address"), "http://www.douban.com/photos/album/" + album.id + "/");
    EXPECT_EQ(Str(row, "cover"), fake::CoverUrl(album));
    EXPECT_EQ(Int(row, "photo_count"), static_cast<long long>(album.photos.size()));
  }
  EXPECT_EQ(Str(json_object_array_get_idx(albums, 2), "name"), "海边日落");

  const ProgramResult single =
      Run({"list", "http://www.douban.com/photos/album/1710000003/", "--json"});
  ASSERT_EQ(single.exitStatus, 0) << Describe(single);
  const Json one = ParseJson(single.out);
  ASSERT_NE(one, nullptr) << single.out;
  EXPECT_EQ(Str(Member(one.get(), "source"), "kind"), "album");
  EXPECT_EQ(Int(json_object_array_get_idx(Member(one.get(), "albums"), 0), "photo_count"), 4);
}

TEST_F(ArchiveTest, ImportRecordsThePicturesOnTheDiskSoARecordedRunFetchesNone) {
  StartDouble();
  const ProgramResult first = Download({"--browse", "--medium", "--no-record"});
  ASSERT_EQ(first.exitStatus, 0) << Describe(first);
  // As if the pictures came from elsewhere: no record store, one picture cut off, one stray file.
  std::filesystem::remove_all(home() / "防止重复下载数据库");
  const std::filesystem::path cut = AlbumFolder(kSeaAlbum) / "2__.jpg";
  testing::WriteFileBytes(cut, testing::ReadFileBytes(cut).substr(0, 100));
  testing::WriteFileBytes(AlbumFolder(kSeaAlbum) / "notes.txt", "mine");
  const std::map<std::string, std::string> before = FilesUnder(saveFolder());
  douban().ClearRequests();

  // Through the API, whose names differ: the running numbers tie the files to the photos.
  const ProgramResult imported =
      Run({"import", saveFolder().string(), kPersonAddress, "--albums", "1,3-4", "--api"});
  ASSERT_EQ(imported.exitStatus, 0) << Describe(imported);
  EXPECT_NE(imported.out.find("recorded 23 photos as downloaded; 2 files not recognised"),
            std::string::npos)
      << Describe(imported);
  EXPECT_TRUE(PictureRequests(douban().Requests()).empty());
  EXPECT_EQ(FilesUnder(saveFolder()), before);  // nothing written, nothing changed
  const std::string cutId = FixtureAlbum(kSeaAlbum).photos[1].id;
  EXPECT_EQ(RecordedPhotoIds(home(), kPerson).count(cutId), 0u);
  EXPECT_EQ(RecordedPhotoIds(home(), kPerson).size(), 23u);

  douban().ClearRequests();
  const ProgramResult rerun = Download({"--browse", "--medium", "--record"});
  ASSERT_EQ(rerun.exitStatus, 0) << Describe(rerun);
  const std::vector<test::LoggedRequest> pictures = PictureRequests(douban().Requests());
  ASSERT_EQ(pictures.size(), 1u);  // only the one cut off
  EXPECT_EQ(PhotoIdOf(pictures[0]), cutId);
}

}  // namespace
}  // namespace ak::e2e
