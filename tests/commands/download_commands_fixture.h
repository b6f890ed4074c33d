#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <thread>

#include "commands/command_context.h"
#include "commands/download_commands.h"
#include "download/record_store.h"
#include "tests/download/download_fixture.h"

namespace ak::test {

// Which of the four download buttons are shown.
struct Buttons {
  bool download, pause, resume, end;
  bool operator==(const Buttons&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Buttons& b) {
  return out << "{download " << b.download << ", pause " << b.pause << ", continue " << b.resume
             << ", end " << b.end << "}";
}

class DownloadCommandsTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    setenv("ALBUMKEEPER_HOME", GbkToUtf8(programDir_).c_str(), 1);
    ctx_.source.Set(source_);
  }
  void TearDown() override {
    EndDownloadCommand(ctx_);
    ctx_.batch.Wait();
    unsetenv("ALBUMKEEPER_HOME");
    DownloadTest::TearDown();
  }

  Buttons Shown() {
    return {controls_.Visible(ctl::按钮_下载选中), controls_.Visible(ctl::按钮_暂停线程),
            controls_.Visible(ctl::按钮_继续下载), controls_.Visible(ctl::按钮_结束下载)};
  }
  // Waits up to 20 s for `done`; false when it never came.
  template <typename Done>
  static bool WaitFor(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  std::size_t Saved(const char* folder) { return FilesIn(OwnerFolder() / folder).size(); }
  std::size_t RecordCount() {
    DownloadRecordStore store;
    if (!store.OpenFile(std::filesystem::path(GbkToUtf8(programDir_)) / "防止重复下载数据库" /
                        "ahua.edb")) {
      return 0;
    }
    return store.record_count();
  }

  CommandContext ctx_{controls_};
};

}  // namespace ak::test
