// The request interval: a setting of its own section beside the six classic options, loaded into
// its box, stored as it is typed (as a number or a range), and read by the batch; the pictures
// fetched at once beside it.

#include <gtest/gtest.h>

#include "base/codec.h"
#include "commands/settings.h"
#include "commands/settings_commands.h"
#include "commands/settings_names.h"
#include "controls/controls.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(IntervalSetting, OwnSectionLoadedIntoItsBoxAndStoredAsANumber) {
  TempFolder folder;
  const Text path = SettingsFilePath(Utf8ToGbk(folder.path().string()));
  const std::filesystem::path native = folder.path() / "peizi.ini";
  Controls controls;

  // Absent: 0, and loading writes nothing.
  LoadSettings(controls, path);
  EXPECT_EQ(controls.Caption(ctl::编辑框_请求间隔), "0");
  EXPECT_FALSE(std::filesystem::exists(native));

  // A hand-written value that is not a clean number comes back as the number it starts with.
  WriteFileBytes(native,
                 Utf8ToGbk("[全局设置]\r\n下载记录=1\r\n[请求设置]\r\n间隔毫秒=1500ms\r\n"));
  LoadSettings(controls, path);
  EXPECT_EQ(controls.Caption(ctl::编辑框_请求间隔), "1500");
  EXPECT_TRUE(controls.Checked(ctl::选择框_下载记录));

  // Typed into the box: stored at once, in its own section; the classic options untouched.
  ASSERT_TRUE(IsOptionControl(ctl::编辑框_请求间隔));
  controls.SetCaption(ctl::编辑框_请求间隔, "250x");
  OptionClicked(controls, ctl::编辑框_请求间隔, path);
  EXPECT_EQ(ReadSetting(path, RequestIntervalOption().section, RequestIntervalOption().key, ""),
            "250");
  EXPECT_EQ(ReadSetting(path, RecordKeepingOption().section, RecordKeepingOption().key, ""), "1");
  EXPECT_EQ(GbkToUtf8(ReadFileBytes(native)),
            "[全局设置]\r\n下载记录=1\r\n[请求设置]\r\n间隔毫秒=250\r\n");
}

// A range is kept as a range (its ends in order); the connections beside it are held to 1..8.
TEST(IntervalSetting, RangeAndConnectionsStoredBesideEachOther) {
  TempFolder folder;
  const Text path = SettingsFilePath(Utf8ToGbk(folder.path().string()));
  Controls controls;
  LoadSettings(controls, path);
  EXPECT_EQ(controls.Caption(ctl::编辑框_同时下载), "3");
  struct Typed {
    ControlName box;
    const char* text;
    const char* stored;
  };
  for (const Typed& typed :
       {Typed{ctl::编辑框_请求间隔, "800-1500", "800-1500"},
        Typed{ctl::编辑框_请求间隔, " 1500 - 800", "800-1500"},
        Typed{ctl::编辑框_请求间隔, "800-", "800"}, Typed{ctl::编辑框_同时下载, "5", "5"},
        Typed{ctl::编辑框_同时下载, "0", "1"}, Typed{ctl::编辑框_同时下载, "12", "8"}}) {
    ASSERT_TRUE(IsOptionControl(typed.box));
    controls.SetCaption(typed.box, typed.text);
    OptionClicked(controls, typed.box, path);
    LoadSettings(controls, path);
    EXPECT_EQ(controls.Caption(typed.box), typed.stored) << typed.text;
  }
  EXPECT_EQ(controls.Caption(ctl::编辑框_请求间隔), "800");
  EXPECT_EQ(ReadSetting(path, ConnectionsOption().section, ConnectionsOption().key, ""), "8");
}

}  // namespace
}  // namespace ak
