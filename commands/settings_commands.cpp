#include "commands/settings_commands.h"

#include "commands/settings.h"
#include "commands/settings_names.h"
#include "download/batch_policy.h"
#include "requests/request_pacer.h"

namespace ak {
namespace {

Text Read(const Text& path, const SettingOption& option) {
  return ReadSetting(path, option.section, option.key, option.default_value);
}

void Write(const Text& path, const SettingOption& option, const Text& value) {
  WriteSetting(path, option.section, option.key, value);
}

Text Flag(bool on) { return on ? "1" : "0"; }

constexpr ControlName kRecordBox = ctl::选择框_下载记录;
constexpr ControlName kDescriptionBox = ctl::选择框_描述作为文件名;
constexpr ControlName kCoverBox = ctl::选择框_有图;
constexpr ControlName kBrowseMode = ctl::选择框_浏览模式;
constexpr ControlName kApiMode = ctl::选择框_api模式;
constexpr ControlName kMedium = ctl::单选框_中图;
constexpr ControlName kLarge = ctl::单选框_原图;
constexpr ControlName kPattern = ctl::编辑框_正则;
constexpr ControlName kSaveButton = ctl::按钮_保存;
constexpr ControlName kInterval = ctl::编辑框_请求间隔;
constexpr ControlName kConnections = ctl::编辑框_同时下载;
constexpr ControlName kMetadataBox = ctl::选择框_元数据;
constexpr ControlName kOriginal = ctl::单选框_原始尺寸;
constexpr ControlName kApiKey = ctl::编辑框_接口密钥;

// Choosing medium or large unchooses the original; the key is written only when it was set, so
// a file of the two sizes alone stays as it was.
void ClearOriginal(const Text& path) {
  if (Read(path, OriginalSizeOption()) == "1") Write(path, OriginalSizeOption(), "0");
}

}  // namespace

void LoadSettings(Controls& c, const Text& path) {
  c.SetChecked(kRecordBox, Read(path, RecordKeepingOption()) == "1");
  c.SetChecked(kDescriptionBox, Read(path, DescriptionNamesOption()) == "1");
  if (Read(path, DownloadModeOption()) == "1") {
    c.SetChecked(kBrowseMode, true);
    c.SetChecked(kApiMode, false);
  } else {
    c.SetChecked(kApiMode, true);
    c.SetChecked(kBrowseMode, false);
  }
  const bool medium = Read(path, PictureSizeOption()) == "1";
  c.SetChecked(kMedium, medium);
  c.SetChecked(kLarge, !medium);
  const bool original = Read(path, OriginalSizeOption()) == "1";
  c.SetChecked(kOriginal, original);
  if (original) {
    c.SetChecked(kMedium, false);
    c.SetChecked(kLarge, false);
  }
  c.SetChecked(kCoverBox, Read(path, CoverPicturesOption()) == "1");
  c.SetCaption(kPattern, Read(path, PhotoPatternOption()));
  c.SetChecked(kMetadataBox, Read(path, AlbumMetadataOption()) == "1");
  c.SetCaption(kInterval, IntervalText(IntervalRangeOf(Read(path, RequestIntervalOption()))));
  c.SetCaption(kConnections, std::to_string(ConnectionCount(Read(path, ConnectionsOption()))));
  c.SetCaption(kApiKey, Read(path, ApiKeyOption()));
}

bool IsOptionControl(ControlName name) {
  for (ControlName option :
       {kRecordBox, kDescriptionBox, kCoverBox, kBrowseMode, kApiMode, kMedium, kLarge, kSaveButton,
        kInterval, kConnections, kOriginal, kApiKey, kMetadataBox}) {
    if (name == option) return true;
  }
  return false;
}

void OptionClicked(Controls& c, ControlName name, const Text& path) {
  if (name == kRecordBox) {
    Write(path, RecordKeepingOption(), Flag(c.Checked(kRecordBox)));
  } else if (name == kDescriptionBox) {
    Write(path, DescriptionNamesOption(), Flag(c.Checked(kDescriptionBox)));
  } else if (name == kCoverBox) {
    Write(path, CoverPicturesOption(), Flag(c.Checked(kCoverBox)));
  } else if (name == kBrowseMode) {
    const bool browse = c.Checked(kBrowseMode);
    c.SetChecked(kApiMode, !browse);
    Write(path, DownloadModeOption(), browse ? "1" : "2");
  } else if (name == kApiMode) {
    const bool api = c.Checked(kApiMode);
    c.SetChecked(kBrowseMode, !api);
    Write(path, DownloadModeOption(), api ? "2" : "1");
  } else if (name == kMedium) {
    Write(path, PictureSizeOption(), "1");
    ClearOriginal(path);
  } else if (name == kLarge) {
    Write(path, PictureSizeOption(), "2");
    ClearOriginal(path);
  } else if (name == kOriginal) {
    Write(path, OriginalSizeOption(), "1");
  } else if (name == kApiKey) {
    Write(path, ApiKeyOption(), c.Caption(kApiKey));
  } else if (name == kSaveButton) {
    Write(path, PhotoPatternOption(), c.Caption(kPattern));
  } else if (name == kMetadataBox) {
    Write(path, AlbumMetadataOption(), Flag(c.Checked(kMetadataBox)));
  } else if (name == kInterval) {
    Write(path, RequestIntervalOption(), IntervalText(IntervalRangeOf(c.Caption(kInterval))));
  } else if (name == kConnections) {
    Write(path, ConnectionsOption(), std::to_string(ConnectionCount(c.Caption(kConnections))));
  }
}

}  // namespace ak
