// Album titles and photo descriptions that hold control characters, NUL bytes and 900 bytes:
// every album is listed, every photo saved, and no file or folder name holds a control character
// or goes beyond the file system's 255 bytes.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/e2e_support.h"
#include "tools/fake_douban/hostile_names.h"

namespace ak::e2e {
namespace {

constexpr const char* kHostileAddress = "http://www.douban.com/people/hostile/";

const fake::Person& HostilePerson() {
  static const fake::Fixture fixture = [] {
    fake::Fixture added;
    fake::AddHostilePerson(added);
    return added;
  }();
  return fixture.people.front();
}

bool HasControl(const std::string& name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

class HostileNamesTest : public EndToEndTest {};

TEST_F(HostileNamesTest, EveryAlbumIsListedAndEveryPhotoSavedUnderCleanNames) {
  StartDouble({"--hostile-names"});
  const std::vector<fake::Album>& albums = HostilePerson().albums;

  const ProgramResult listed = Run({"list", kHostileAddress});
  ASSERT_EQ(listed.exitStatus, 0) << Describe(listed);
  const std::vector<std::string> rows = Lines(listed.out);
  ASSERT_EQ(rows.size(), albums.size()) << Describe(listed);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i]);
    const std::string address = "http://www.douban.com/photos/album/" + albums[i].id + "/";
    EXPECT_TRUE(rows[i].starts_with(std::to_string(i + 1) + "\t"));
    EXPECT_TRUE(rows[i].ends_with("\t" + address));
    const std::string& row = rows[i];
    const std::string name = row.substr(row.find('\t') + 1, row.rfind('\t') - row.find('\t') - 1);
    EXPECT_FALSE(HasControl(name));
    const std::string& title = albums[i].title;
    // A title that begins with NUL, or holds control characters only, is a nameless album.
    if (title.front() == '\0' || title == "\x01\x02\x1F\x7F") {
      EXPECT_TRUE(name.starts_with(albums[i].id + "(随机字母") && name.ends_with("）")) << name;
    }
  }
  EXPECT_TRUE(rows[0].find("\t[1;31m粗体红色[0m相册\t") != std::string::npos) << rows[0];

  std::size_t photos = 0;
  for (const fake::Album& album : albums) photos += album.photos.size();
  for (const char* mode : {"--browse", "--api"}) {
    SCOPED_TRACE(mode);
    const std::filesystem::path to = saveFolder() / (mode + 2);
    const ProgramResult run = Run({"download", kHostileAddress, mode, "--medium", "--describe",
                                   "--no-record", "--to", to.string()});
    // Status 0: no photo failed.
    ASSERT_EQ(run.exitStatus, 0) << Describe(run);

    const std::set<std::string> entries = EntriesUnder(to);
    for (const std::string& entry : entries) {
      EXPECT_FALSE(HasControl(entry)) << entry;
      for (const auto& level : std::filesystem::path(entry)) {
        EXPECT_LE(level.string().size(), 255u) << entry;
      }
    }
    // One owner folder of 15 album folders, one file per photo.
    std::size_t folders = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(to)) {
      if (entry.is_directory()) ++folders;
    }
    EXPECT_EQ(folders, 1 + albums.size());
    EXPECT_EQ(FilesUnder(to).size(), photos);

    // The album of the 900-byte title: its folder holds all 20 photos, by running number.
    std::filesystem::path longFolder;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(to)) {
      if (entry.is_directory() && entry.path().filename().string().starts_with("很长的相册名")) {
        longFolder = entry.path();
      }
    }
    ASSERT_FALSE(longFolder.empty()) << ::testing::PrintToString(entries);
    EXPECT_TRUE(longFolder.filename().string().ends_with("名20")) << longFolder;
    std::set<int> numbers;
    for (const auto& file : std::filesystem::directory_iterator(longFolder)) {
      numbers.insert(std::stoi(file.path().filename().string()));
    }
    EXPECT_EQ(numbers.size(), 20u);
    EXPECT_EQ(*numbers.begin(), 1);
    EXPECT_EQ(*numbers.rbegin(), 20);
  }
}

}  // namespace
}  // namespace ak::e2e
