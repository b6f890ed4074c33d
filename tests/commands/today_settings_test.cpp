// The settings of today's service, in a section of their own: the API key and the third picture
// size. The classic "图片大小" keeps its two values and its reading rule.

#include <gtest/gtest.h>

#include "base/codec.h"
#include "commands/settings.h"
#include "commands/settings_commands.h"
#include "controls/controls.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(TodaySettings, OriginalSizeAndApiKeyBesideTheClassicOptions) {
  TempFolder folder;
  const Text path = SettingsFilePath(Utf8ToGbk(folder.path().string()));
  const std::filesystem::path native = folder.path() / "peizi.ini";
  Controls controls;

  WriteFileBytes(native,
                 Utf8ToGbk("[图片大小]\r\n大小=2\r\n[接口设置]\r\napikey=k1\r\n原始尺寸=1\r\n"));
  LoadSettings(controls, path);
  EXPECT_TRUE(controls.Checked(ctl::单选框_原始尺寸));
  EXPECT_FALSE(controls.Checked(ctl::单选框_原图));
  EXPECT_FALSE(controls.Checked(ctl::单选框_中图));
  EXPECT_EQ(controls.Caption(ctl::编辑框_接口密钥), "k1");

  // Medium chosen: the original is unchosen in the file too, and the classic key says medium.
  controls.SetChecked(ctl::单选框_中图, true);
  OptionClicked(controls, ctl::单选框_中图, path);
  controls.SetCaption(ctl::编辑框_接口密钥, "k2");
  OptionClicked(controls, ctl::编辑框_接口密钥, path);
  EXPECT_EQ(ReadFileBytes(native),
            Utf8ToGbk("[图片大小]\r\n大小=1\r\n[接口设置]\r\napikey=k2\r\n原始尺寸=0\r\n"));
  LoadSettings(controls, path);
  EXPECT_TRUE(controls.Checked(ctl::单选框_中图));
  EXPECT_FALSE(controls.Checked(ctl::单选框_原始尺寸));

  // A file of the classic keys alone stays as it was when a size is chosen.
  WriteFileBytes(native, Utf8ToGbk("[图片大小]\r\n大小=1\r\n"));
  OptionClicked(controls, ctl::单选框_原图, path);
  EXPECT_EQ(ReadFileBytes(native), Utf8ToGbk("[图片大小]\r\n大小=2\r\n"));
  OptionClicked(controls, ctl::单选框_原始尺寸, path);
  EXPECT_EQ(ReadFileBytes(native),
            Utf8ToGbk("[图片大小]\r\n大小=2\r\n[接口设置]\r\n原始尺寸=1\r\n"));
}

}  // namespace
}  // namespace ak
