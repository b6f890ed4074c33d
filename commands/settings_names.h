#pragma once

#include "base/codec.h"
#include "base/types.h"

namespace ak {

// The options of the settings file: where each lives and its value when absent. The window
// loads them in this order and writes each back when its control changes.
struct SettingOption {
  const Text& section;
  const Text& key;
  const Text& default_value;
};

inline SettingOption RecordKeepingOption() {
  return {AK_GBK("全局设置"), AK_GBK("下载记录"), AK_GBK("0")};
}
inline SettingOption DescriptionNamesOption() {
  return {AK_GBK("全局设置"), AK_GBK("描述作为文件名"), AK_GBK("0")};
}
// "1" browse (page-scraping) mode, "2" API mode; any other value selects API mode.
inline SettingOption DownloadModeOption() {
  return {AK_GBK("下载模式"), AK_GBK("模式"), AK_GBK("1")};
}
// "1" medium pictures, "2" large; any other value selects large.
inline SettingOption PictureSizeOption() {
  return {AK_GBK("图片大小"), AK_GBK("大小"), AK_GBK("1")};
}
inline SettingOption CoverPicturesOption() {
  return {AK_GBK("全局设置"), AK_GBK("封面图"), AK_GBK("0")};
}
// The user's photo-list pattern; empty means the built-in one.
inline SettingOption PhotoPatternOption() { return {AK_GBK("正则"), AK_GBK("表达式"), AK_GBK("")}; }
// Beyond the six classic options, in a section of its own: the least time between two requests
// to the service, in milliseconds ("MS" or a range "LOW-HIGH"), and the pictures of an album
// fetched at once.
inline SettingOption RequestIntervalOption() {
  return {AK_GBK("请求设置"), AK_GBK("间隔毫秒"), AK_GBK("0")};
}
inline SettingOption ConnectionsOption() {
  return {AK_GBK("请求设置"), AK_GBK("同时下载"), AK_GBK("3")};
}

// In a section of its own: write album.json beside the pictures of each album.
inline SettingOption AlbumMetadataOption() {
  return {AK_GBK("存档设置"), AK_GBK("相册信息"), AK_GBK("0")};
}

// In a section of their own, so that the classic keys keep their values and reading rules: the
// key sent to the service's API ("apikey=KEY"), empty for none;
inline SettingOption ApiKeyOption() { return {AK_GBK("接口设置"), AK_GBK("apikey"), AK_GBK("")}; }
// and "1" when the third picture size, the original, is chosen ("图片大小" then keeps the size
// chosen before, for a program that knows only two).
inline SettingOption OriginalSizeOption() {
  return {AK_GBK("接口设置"), AK_GBK("原始尺寸"), AK_GBK("0")};
}

}  // namespace ak
