#include "commands/settings.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>

#include "base/codec.h"
#include "commands/settings_names.h"
#include "tests/support/full_disk.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WithFileSizeLimit;
using testing::WriteFileBytes;

class SettingsFile : public ::testing::Test {
 protected:
  // The settings file of a program folder whose name is partly Chinese, as a GBK path.
  SettingsFile() {
    std::filesystem::create_directory(folder_.path() / "程序");
    program_dir_ = Utf8ToGbk((folder_.path() / "程序").string());
    path_ = SettingsFilePath(program_dir_);
    native_ = folder_.path() / "程序" / "peizi.ini";
  }
  TempFolder folder_;
  Text program_dir_;
  Text path_;
  std::filesystem::path native_;
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndStaysAbsent) {
  for (const SettingOption& o :
       {RecordKeepingOption(), DescriptionNamesOption(), DownloadModeOption(), PictureSizeOption(),
        CoverPicturesOption(), PhotoPatternOption()}) {
    EXPECT_EQ(ReadSetting(path_, o.section, o.key, o.default_value), o.default_value);
  }
  EXPECT_FALSE(std::filesystem::exists(native_));
}

TEST_F(SettingsFile, FirstWriteCreatesTheFileInGbkWithCrLf) {
  const SettingOption mode = DownloadModeOption();
  EXPECT_TRUE(WriteSetting(path_, mode.section, mode.key, "2"));
  EXPECT_EQ(ReadFileBytes(native_), "[\xCF\xC2\xD4\xD8\xC4\xA3\xCA\xBD]\r\n\xC4\xA3\xCA\xBD=2\r\n");
  EXPECT_EQ(ReadSetting(path_, mode.section, mode.key, mode.default_value), "2");
}

TEST_F(SettingsFile, EmptyValueIsReadAsEmptyNotAsDefault) {
  const SettingOption size = PictureSizeOption();
  WriteFileBytes(native_, "[\xCD\xBC\xC6\xAC\xB4\xF3\xD0\xA1]\n\xB4\xF3\xD0\xA1=\n");
  EXPECT_EQ(ReadSetting(path_, size.section, size.key, size.default_value), "");
}

TEST_F(SettingsFile, HandEditedFileKeepsEverythingElse) {
  const std::string before =
      "; my notes\n[\xC8\xAB\xBE\xD6\xC9\xE8\xD6\xC3]\nfoo = bar\n"
      "\xCF\xC2\xD4\xD8\xBC\xC7\xC2\xBC = 0\n\n[other]\nx=1";
  WriteFileBytes(native_, before);
  const SettingOption record = RecordKeepingOption();
  const SettingOption cover = CoverPicturesOption();
  ASSERT_TRUE(WriteSetting(path_, record.section, record.key, "1"));
  ASSERT_TRUE(WriteSetting(path_, cover.section, cover.key, "1"));
  EXPECT_EQ(ReadFileBytes(native_),
            "; my notes\n[\xC8\xAB\xBE\xD6\xC9\xE8\xD6\xC3]\nfoo = bar\n"
            "\xCF\xC2\xD4\xD8\xBC\xC7\xC2\xBC=1\r\n\xB7\xE2\xC3\xE6\xCD\xBC=1\r\n\n[other]\nx=1");
}

TEST_F(SettingsFile, EmptyArgumentsAfterTheSkipGiveEmptyNotDefault) {
  WriteFileBytes(native_, "[s]\r\nk=v\r\n");
  const struct {
    const char* name;
    Text path, section, key;
    Text expected;
  } cases[] = {
      {"all given", path_, "s", "k", "v"},
      {"leading blanks and controls skipped", " \t\x01" + path_, "\x1F s", "\n k", "v"},
      {"missing key gives default", path_, "s", "absent", "dflt"},
      {"empty path", "", "s", "k", ""},
      {"path of blanks", " \t ", "s", "k", ""},
      {"empty section", path_, "", "k", ""},
      {"section of controls", path_, "\r\n", "k", ""},
      {"empty key", path_, "s", "", ""},
      {"key of blanks", path_, "s", "   ", ""},
      // A text ends at its first NUL, so what stands after it is not there to be skipped to.
      {"path ending at a NUL after blanks", Text(" \0", 2) + path_, "s", "k", ""},
      {"section ending at a NUL after blanks", path_, Text(" \0s", 3), "k", ""},
      {"key that is a NUL before the name", path_, "s", Text("\0k", 2), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadSetting(c.path, c.section, c.key, "dflt"), c.expected) << c.name;
  }
}

TEST_F(SettingsFile, DefaultLosesTrailingBlanks) {
  EXPECT_EQ(ReadSetting(path_, "s", "k", " d \t"), " d");
}

TEST_F(SettingsFile, LongValueComesBackCutTo10239Bytes) {
  const Text pattern(20000, 'p');
  ASSERT_TRUE(WriteSetting(path_, PhotoPatternOption().section, PhotoPatternOption().key, pattern));
  const Text read = ReadSetting(path_, PhotoPatternOption().section, PhotoPatternOption().key, "");
  EXPECT_EQ(read, pattern.substr(0, 10239));

  // A double-byte character across the limit is dropped whole.
  const Text gbk = Text(10238, 'p') + "\xD5\xFD" + "tail";
  ASSERT_TRUE(WriteSetting(path_, "s", "k", gbk));
  EXPECT_EQ(ReadSetting(path_, "s", "k", ""), Text(10238, 'p'));
  const Text exact = Text(10237, 'p') + "\xD5\xFD" + "tail";
  ASSERT_TRUE(WriteSetting(path_, "s", "k", exact));
  EXPECT_EQ(ReadSetting(path_, "s", "k", ""), exact.substr(0, 10239));
}

TEST_F(SettingsFile, WritePathIsNotTrimmed) {
  EXPECT_FALSE(WriteSetting("", "s", "k", "v"));
  // " path" names another file (in the current folder's terms it is a different name).
  const Text spaced = Utf8ToGbk(folder_.path().string()) + "/ peizi.ini";
  ASSERT_TRUE(WriteSetting(spaced, "s", "k", "v"));
  EXPECT_TRUE(std::filesystem::exists(folder_.path() / " peizi.ini"));
  EXPECT_EQ(ReadSetting(spaced, "s", "k", ""), "v");
}

TEST_F(SettingsFile, ReadOnlyFileIsLeftAlone) {
  WriteFileBytes(native_, "[s]\r\nk=old\r\n");
  std::filesystem::permissions(native_, std::filesystem::perms::owner_read);
  EXPECT_FALSE(WriteSetting(path_, "s", "k", "new"));
  EXPECT_EQ(ReadFileBytes(native_), "[s]\r\nk=old\r\n");
  EXPECT_EQ(ReadSetting(path_, "s", "k", ""), "old");
}

TEST_F(SettingsFile, UnwritableFolderFailsSilently) {
  // A "folder" that is a plain file cannot hold anything, whoever runs the test.
  WriteFileBytes(folder_.path() / "plain", "x");
  const Text inside = Utf8ToGbk((folder_.path() / "plain" / "peizi.ini").string());
  EXPECT_FALSE(WriteSetting(inside, "s", "k", "v"));
  EXPECT_EQ(ReadSetting(inside, "s", "k", "d"), "d");
}

TEST_F(SettingsFile, FolderInPlaceOfTheFileIsNotReplaced) {
  std::filesystem::create_directory(native_);
  EXPECT_FALSE(WriteSetting(path_, "s", "k", "v"));
  EXPECT_EQ(ReadSetting(path_, "s", "k", "d"), "d");
  EXPECT_TRUE(std::filesystem::is_directory(native_));
}

TEST_F(SettingsFile, TextsEndAtTheirFirstNul) {
  ASSERT_TRUE(WriteSetting(path_, "s", "k", Text("ab\0cd", 5)));
  EXPECT_EQ(ReadFileBytes(native_), "[s]\r\nk=ab\r\n");
  EXPECT_EQ(ReadSetting(path_, "s", Text("k\0zz", 4), ""), "ab");
}

TEST_F(SettingsFile, FullDiskLeavesTheOldFileWhole) {
  std::string before = "[s]\r\nk=old\r\n";
  for (int i = 0; i < 100; ++i) before += "; line " + std::to_string(i) + "\r\n";
  WriteFileBytes(native_, before);
  // Room for most of the file but not all of it: the new content is cut off on its way out.
  const int status =
      WithFileSizeLimit(before.size() / 2, [&] { return WriteSetting(path_, "s", "k", "new"); });
  EXPECT_EQ(status, 0) << "the write must report failure";
  EXPECT_EQ(ReadFileBytes(native_), before);
  EXPECT_EQ(ReadSetting(path_, "s", "k", ""), "old");
  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(native_.parent_path()))
    ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFile, LeftoverTemporaryFileFromACrashIsHarmless) {
  WriteFileBytes(native_, "[s]\r\nk=1\r\n");
  // What a crash before the rename leaves: a half file beside the real one.
  WriteFileBytes(native_.string() + ".tmp1_0_0", "[s]\r\nk=");
  EXPECT_EQ(ReadSetting(path_, "s", "k", ""), "1");
  ASSERT_TRUE(WriteSetting(path_, "s", "k", "2"));
  EXPECT_EQ(ReadSetting(path_, "s", "k", ""), "2");
}

TEST_F(SettingsFile, ReplacedFileKeepsItsPermissions) {
  WriteFileBytes(native_, "[s]\r\nk=1\r\n");
  std::filesystem::permissions(native_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write |
                                            std::filesystem::perms::others_read);
  ASSERT_TRUE(WriteSetting(path_, "s", "k", "2"));
  EXPECT_EQ(std::filesystem::status(native_).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::others_read);
}

}  // namespace
}  // namespace ak
