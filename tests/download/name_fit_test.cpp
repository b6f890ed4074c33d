// Names from the service cut to the file system's name limit where folder and file names are
// formed: the parts the program adds are kept, the cut falls on a character boundary.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/worker_gate.h"
#include "download/album_run.h"
#include "download/name_fit.h"
#include "download/photo_file.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// True when `utf8` holds a character that did not survive the way from GBK (a split one).
bool HasReplacement(const std::string& utf8) {
  return utf8.find("\xEF\xBF\xBD") != std::string::npos;
}

class NameFitTest : public DownloadTest {};

TEST_F(NameFitTest, FileAndFolderNamesAreCutToTheLimitKeepingWhatTheProgramAdds) {
  const Text han = G("长");   // 2 bytes of GBK, 3 of UTF-8
  const Text alpha = G("α");  // 2 bytes of GBK, 2 of UTF-8
  const struct {
    const char* name;
    Text front, middle, back;
    std::size_t expectedLength;  // of the UTF-8 name
  } cases[] = {
      {"short names stay whole", "7_", G("短描述"), "_.jpg", 16},
      {"description of 240 GBK bytes", "7_", Repeat(han, 120), "_.jpg", 253},
      {"one byte more moves the boundary", "17_", Repeat(han, 120), "_.jpg", 254},
      {"ascii before the characters", "", "a" + Repeat(han, 300), "20", 255},
      {"two-byte characters", "", Repeat(alpha, 200), "3", 255},
      {"mixed widths", "", Repeat(alpha + han, 100), "19_1620000001", 255},
      {"a name that fits exactly", "", Repeat("x", 253), "12", 255},
      {"kept parts too long themselves", "", Repeat(han, 10), std::string(300, '9'), 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Text fitted = FitName(c.front, c.middle, c.back);
    const std::string utf8 = GbkToUtf8(fitted);
    EXPECT_EQ(utf8.size(), c.expectedLength);
    EXPECT_FALSE(HasReplacement(utf8));
    if (NativeNameLength(c.front) + NativeNameLength(c.back) <= kMaxNameLength) {
      ASSERT_TRUE(fitted.starts_with(c.front));
      ASSERT_TRUE(fitted.ends_with(c.back));
      const Text middle =
          fitted.substr(c.front.size(), fitted.size() - c.front.size() - c.back.size());
      EXPECT_TRUE(c.middle.starts_with(middle));
    }
  }
  // A photo's file name holds the running number, the cut description and the extension.
  const Text file = PhotoFileName(3, Repeat(han, 120));
  EXPECT_TRUE(file.starts_with("3_" + han) && file.ends_with(han + "_.jpg")) << GbkToUtf8(file);
  EXPECT_LE(GbkToUtf8(file).size(), kMaxNameLength);
}

// A title of 900 bytes, under an owner's name of over 255 bytes, still gets its folder, and its
// pictures their files, a description of 240 bytes in the name included.
TEST_F(NameFitTest, AnAlbumWithLongNamesIsSavedAndAFolderUsedTwiceKeepsItsSuffix) {
  WorkerGate gate;
  source_.title = Repeat(G("名字很长"), 30);  // 240 bytes of GBK, 360 of UTF-8
  AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
  BatchTally tally;
  const Text longName = Repeat(G("很长的相册名"), 50);  // 600 bytes of GBK, 900 of UTF-8
  const Text description = Repeat(G("长"), 120);

  Text folderName = longName + "20";
  std::filesystem::path first;
  {
    AlbumRun run(env, tally);
    run.PrepareFolder(folderName, "20", AlbumUrl("1810000005"));
    EXPECT_TRUE(folderName.ends_with(G("名") + "20")) << GbkToUtf8(folderName);
    first = std::filesystem::path(GbkToUtf8(run.albumFolder()));
    ASSERT_TRUE(std::filesystem::is_directory(first)) << first;
    const SavedPhoto saved = SavePhotoFile(run.albumFolder(), 1, description, "picture");
    EXPECT_TRUE(saved.saved) << saved.error;
    EXPECT_NE(saved.fileName, ShortPhotoFileName(1));
  }
  for (const auto& level : first.lexically_relative(temp_.path() / "save")) {
    EXPECT_LE(level.string().size(), kMaxNameLength) << level;
    EXPECT_FALSE(HasReplacement(level.string())) << level;
  }
  EXPECT_EQ(FilesIn(first).size(), 1u);

  // Another album whose name cuts to the same folder: the count and "_" with its digits stay.
  Text secondName = longName + G("另一个") + "20";
  AlbumRun run(env, tally);
  run.PrepareFolder(secondName, "20", AlbumUrl("1810000099"));
  EXPECT_TRUE(secondName.ends_with("20_1810000099")) << GbkToUtf8(secondName);
  EXPECT_LE(GbkToUtf8(secondName).size(), kMaxNameLength);
  EXPECT_NE(std::filesystem::path(GbkToUtf8(run.albumFolder())), first);
  EXPECT_TRUE(std::filesystem::is_directory(GbkToUtf8(run.albumFolder())));
}

// A single album whose title cleans to nothing has no title level and, through the API with no
// total, no name either: its photos still get a folder of their own, named by its number.
TEST_F(NameFitTest, AnAlbumWithoutNameOrCountGetsAFolderOfItsOwn) {
  WorkerGate gate;
  source_.title = "\x01\x7F";
  AlbumDownloadEnv env{controls_, gate, source_, programDir_, std::chrono::milliseconds(1)};
  BatchTally tally;
  Text folderName;
  AlbumRun run(env, tally);
  run.PrepareFolder(folderName, "", AlbumUrl("1810000008"));
  EXPECT_EQ(folderName, "1810000008");
  EXPECT_EQ(std::filesystem::path(GbkToUtf8(run.albumFolder())),
            temp_.path() / "save" / "1810000008/");
}

}  // namespace
}  // namespace ak::test
