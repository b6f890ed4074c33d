#include "cli/option_controls.h"

#include <filesystem>

#include "base/codec.h"
#include "commands/settings.h"
#include "commands/settings_commands.h"
#include "download/ensure_folder.h"
#include "download/record_store.h"
#include "requests/request_pacer.h"

namespace ak {

void LoadStartupControls(Controls& controls, const Text& programDir) {
  LoadSettings(controls, SettingsFilePath(programDir));
  controls.SetCaption(ctl::编辑框_保存位置, programDir);
}

void EnsureRecordFolder(const Text& programDir) {
  Text records = programDir + "/" + DownloadRecordStore::FolderName() + "/";
  EnsureFolder(records);
}

void ApplyRequest(Controls& controls, const CliRequest& request) {
  controls.SetCaption(ctl::编辑框_号码, Utf8ToGbk(request.address));
  // A terminal shows no pictures: covers are fetched only when asked for.
  controls.SetChecked(ctl::选择框_有图, request.covers);
  if (request.command == CliCommand::kList) return;
  if (request.browseMode) {
    controls.SetChecked(ctl::选择框_浏览模式, *request.browseMode);
    controls.SetChecked(ctl::选择框_api模式, !*request.browseMode);
  }
  if (request.large) {
    controls.SetChecked(ctl::单选框_原图, *request.large);
    controls.SetChecked(ctl::单选框_中图, !*request.large);
    controls.SetChecked(ctl::单选框_原始尺寸, false);
  }
  if (request.original) controls.SetChecked(ctl::单选框_原始尺寸, true);
  if (request.apiKey) controls.SetCaption(ctl::编辑框_接口密钥, Utf8ToGbk(*request.apiKey));
  if (request.record) controls.SetChecked(ctl::选择框_下载记录, *request.record);
  // This run only: the command line never writes the settings file.
  if (request.retryFailed) controls.SetChecked(ctl::选择框_下载记录, true);
  if (request.interval) {
    controls.SetCaption(ctl::编辑框_请求间隔, IntervalText(IntervalRangeOf(*request.interval)));
  }
  if (request.connections) {
    controls.SetCaption(ctl::编辑框_同时下载, std::to_string(*request.connections));
  }
  if (request.describe) controls.SetChecked(ctl::选择框_描述作为文件名, *request.describe);
  if (request.writeMetadata) controls.SetChecked(ctl::选择框_元数据, *request.writeMetadata);
  if (request.pattern) controls.SetCaption(ctl::编辑框_正则, Utf8ToGbk(*request.pattern));
  if (request.saveFolder) {
    controls.SetCaption(ctl::编辑框_保存位置, Utf8ToGbk(AbsoluteSaveFolder(*request.saveFolder)));
  }
}

std::string AbsoluteSaveFolder(const std::string& given) {
  // A folder relative to where the command was typed, as on any command line.
  std::error_code ignored;
  std::filesystem::path folder = std::filesystem::absolute(given, ignored);
  if (folder.empty()) folder = given;
  std::string text = folder.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string FolderGbkCannotHold(const CliRequest& request, const std::string& programDir) {
  if (!GbkCanHold(programDir)) {
    return "the program's folder " + programDir +
           " has characters that GBK cannot hold; set ALBUMKEEPER_HOME to another folder";
  }
  if (request.command != CliCommand::kList && request.saveFolder) {
    const std::string folder = AbsoluteSaveFolder(*request.saveFolder);
    if (!GbkCanHold(folder)) {
      return std::string(request.command == CliCommand::kImport ? "import: " : "--to: ") +
             "the folder " + folder + " has characters that GBK cannot hold";
    }
  }
  return {};
}

}  // namespace ak
