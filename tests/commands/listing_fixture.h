#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/codec.h"
#include "commands/album_commands.h"
#include "controls/headless_view.h"
#include "net/service_config.h"
#include "tests/support/fake_douban_process.h"

namespace ak::test {

// A command context over the headless view, with the service configuration pointed at a test
// double that the suite starts once.
class ListingTest : public ::testing::Test {
 protected:
  static void StartDouble(std::vector<std::string> extraArgs = {}) {
    double_ = std::make_unique<FakeDouban>(FakeDoubanOptions{.extraArgs = std::move(extraArgs)});
    ASSERT_TRUE(double_->Start()) << double_->error();
  }
  static void TearDownTestSuite() { double_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(double_ && double_->running());
    double_->ExportEnvironment();
    ReloadServiceConfig();
    double_->ClearRequests();
    controls_.Attach(view_);
  }

  // Types `address` (UTF-8), sets the covers box, presses the button and waits for the listing.
  GetAlbumsOutcome List(const std::string& address, bool covers = false) {
    controls_.SetCaption(ctl::编辑框_号码, Utf8ToGbk(address), Origin::kView);
    controls_.SetChecked(ctl::选择框_有图, covers, Origin::kView);
    const GetAlbumsOutcome outcome = GetAlbumsCommand(ctx_);
    ctx_.listing.Wait();
    return outcome;
  }

  // "GET host target" for every request the double received since the test began.
  static std::vector<std::string> RequestLines() {
    std::vector<std::string> lines;
    for (const LoggedRequest& request : double_->Requests()) {
      lines.push_back(request.method + " " + request.Header("Host") + request.target);
    }
    return lines;
  }

  ControlsState State() const { return view_->State(); }
  std::string Cell(int row, int column) const {
    return GbkToUtf8(State().Rows().at(static_cast<std::size_t>(row)).cells[column]);
  }
  std::string Caption(ControlName name) const { return GbkToUtf8(controls_.Caption(name)); }

  static inline std::unique_ptr<FakeDouban> double_;
  Controls controls_;
  std::ostringstream out_;
  std::shared_ptr<HeadlessView> view_ = std::make_shared<HeadlessView>(controls_, out_);
  CommandContext ctx_{controls_};
};

}  // namespace ak::test
