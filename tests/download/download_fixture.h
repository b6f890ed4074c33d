#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "albums/source.h"
#include "base/codec.h"
#include "controls/controls.h"
#include "controls/headless_view.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"
#include "tests/support/temp_folder.h"

namespace ak::test {

// A download test: the controls with a headless view, a program folder and a save folder of its
// own, the owner "ahua" of the double's fixture as the source, and a test double (one shared by
// the suite, or one of the test's own with faults switched on).
class DownloadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ = std::make_unique<FakeDouban>();
    ASSERT_TRUE(shared_->Start()) << shared_->error();
  }
  static void TearDownTestSuite() { shared_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(shared_ && shared_->running());
    UseDouble(*shared_);
    view_ = std::make_shared<HeadlessView>(controls_, out_);
    controls_.Attach(view_);
    std::filesystem::create_directories(temp_.path() / "program");
    std::filesystem::create_directories(temp_.path() / "save");
    programDir_ = Gbk(temp_.path() / "program");
    controls_.SetCaption(ctl::编辑框_保存位置, Gbk(temp_.path() / "save"));
    controls_.SetChecked(ctl::单选框_中图, true);
    controls_.SetChecked(ctl::单选框_原图, false);
    controls_.SetChecked(ctl::选择框_浏览模式, true);
    controls_.SetChecked(ctl::选择框_下载记录, false);
    controls_.SetChecked(ctl::选择框_描述作为文件名, false);
  }
  void TearDown() override { controls_.Detach(); }

  // Switches this test to a double of its own, started with `args`.
  void StartOwnDouble(std::vector<std::string> args) {
    own_ = std::make_unique<FakeDouban>(FakeDoubanOptions{.extraArgs = std::move(args)});
    ASSERT_TRUE(own_->Start()) << own_->error();
    UseDouble(*own_);
  }
  FakeDouban& Double() { return own_ ? *own_ : *shared_; }

  static Text Gbk(const std::filesystem::path& path) { return Utf8ToGbk(path.string()); }
  static Text G(const char* utf8) { return Utf8ToGbk(utf8); }

  // Appends a row as the album listing fills it: number, name, address in column 5, ticked.
  int AddRow(const std::string& number, const Text& name, const std::string& address,
             bool ticked = true) {
    const int row = controls_.AppendRow();
    controls_.SetCell(row, 1, number);
    controls_.SetCell(row, 2, name);
    controls_.SetCell(row, 5, address);
    controls_.SetRowChecked(row, ticked);
    return row;
  }
  static std::string AlbumUrl(const std::string& id) {
    return "http://www.douban.com/photos/album/" + id + "/";
  }

  // The targets of the requests received since the test began whose target contains `part`.
  std::vector<std::string> Targets(const std::string& part = {}) {
    std::vector<std::string> targets;
    for (const LoggedRequest& request : Double().Requests()) {
      if (request.target.find(part) != std::string::npos) targets.push_back(request.target);
    }
    return targets;
  }

  // The save folder's level for the source's owner, "阿华 Hua　小站" cleaned.
  std::filesystem::path OwnerFolder() const { return temp_.path() / "save" / "阿华Hua　小站"; }
  // Names of the files in `folder` (UTF-8), sorted.
  static std::set<std::string> FilesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // "1__.jpg" ... "N__.jpg" style names: prefix number, then `suffix`.
  static std::set<std::string> Numbered(int count, const std::string& suffix = "__.jpg") {
    std::set<std::string> names;
    for (int i = 1; i <= count; ++i) names.insert(std::to_string(i) + suffix);
    return names;
  }
  std::string LogUtf8() const { return GbkToUtf8(controls_.Log()); }

  Controls controls_;
  std::ostringstream out_;
  std::shared_ptr<HeadlessView> view_;
  testing::TempFolder temp_;
  Text programDir_;
  Source source_{"http://www.douban.com/people/ahua/", "ahua", G("阿华 Hua　小站")};

 private:
  static void UseDouble(FakeDouban& douban) {
    douban.ExportEnvironment();
    ReloadServiceConfig();
    douban.ClearRequests();
  }

  static inline std::unique_ptr<FakeDouban> shared_;
  std::unique_ptr<FakeDouban> own_;
};

}  // namespace ak::test
