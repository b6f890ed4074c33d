// The command line when the service refuses: the held batch says so on standard error and goes
// on with Enter; --no-wait ends it with exit 1; --interval and --retry-failed reach the
// controls the batch reads.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "albums/album_list.h"
#include "base/codec.h"
#include "cli/argument_parser.h"
#include "cli/cli_run.h"
#include "commands/command_context.h"
#include "net/cookie_jar.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using namespace std::chrono_literals;

// An engine whose batch is refused once: it holds (as the real batch does, through the
// context's hook) until continue, or ends at once when the context asks for that.
class RefusalCliTest : public ::testing::Test {
 protected:
  RefusalCliTest() {
    ::setenv("ALBUMKEEPER_HOME", home_.path().c_str(), 1);
    SharedCookieJar().Clear();
    engine_.list = [](CommandContext& c) {
      const int row = c.controls.AppendRow();
      c.controls.SetCell(row, kColumnNumber, "1");
      c.controls.SetCell(row, kColumnAddress, "http://www.douban.com/photos/album/10/");
      c.controls.SetRowChecked(row, true);
      return GetAlbumsOutcome::kStarted;
    };
    engine_.download = [this](CommandContext& c) {
      interval_ = c.controls.Caption(ctl::编辑框_请求间隔);
      record_ = c.controls.Checked(ctl::选择框_下载记录);
      c.batch.Start([this, &c](WorkerGate& gate) {
        if (c.endOnRefusal) {
          endedByRefusal_ = true;
          return;
        }
        gate.Pause();
        if (c.onRefusalHold) c.onRefusalHold();
        held_ = true;
        if (gate.Checkpoint()) continued_ = true;
      });
    };
    engine_.resume = [](CommandContext& c) { c.batch.Continue(); };
    engine_.batchVerdict = [this](CommandContext&) {
      BatchVerdict verdict;
      verdict.endedByRefusal = endedByRefusal_;
      return verdict;
    };
    engine_.end = [](CommandContext& c) { c.batch.Stop(); };
  }
  ~RefusalCliTest() override {
    ::unsetenv("ALBUMKEEPER_HOME");
    SharedCookieJar().Clear();
  }

  testing::TempFolder home_;
  CliEngine engine_;
  std::ostringstream out_, err_;
  Text interval_;
  bool record_ = false;
  std::atomic<bool> held_{false}, continued_{false}, endedByRefusal_{false};
};

constexpr const char* kAlbum = "http://www.douban.com/photos/album/10/";

TEST_F(RefusalCliTest, HeldBatchSaysSoOnStandardErrorAndEnterContinuesIt) {
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  std::thread enter([&] {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!held_ && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    // The line the user types once signed in.
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], "\n", 1);
  });
  const int status = RunCommandLine({"download", kAlbum}, engine_, {out_, err_, false, pipeFds[0]});
  enter.join();
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(continued_);
  EXPECT_NE(err_.str().find("the download holds"), std::string::npos) << err_.str();
  EXPECT_EQ(out_.str().find("the download holds"), std::string::npos);
}

TEST_F(RefusalCliTest, NoWaitEndsTheBatchWithExitOne) {
  EXPECT_EQ(RunCommandLine({"download", kAlbum, "--no-wait"}, engine_, {out_, err_, false}), 1);
  EXPECT_FALSE(held_);
  EXPECT_NE(err_.str().find("--no-wait"), std::string::npos) << err_.str();
}

TEST_F(RefusalCliTest, ListingEndedByRefusalExitsOneAndSaysSo) {
  bool downloaded = false;
  engine_.awaitListing = [](CommandContext& c) {
    ListingResult refused = AwaitListing(c);
    refused.endedByRefusal = true;
    return refused;
  };
  engine_.download = [&downloaded](CommandContext&) { downloaded = true; };
  const std::vector<std::string> runs[] = {{"list", kAlbum}, {"download", kAlbum, "--no-wait"}};
  for (const std::vector<std::string>& args : runs) {
    SCOPED_TRACE(args[0]);
    err_.str("");
    out_.str("");
    EXPECT_EQ(RunCommandLine(args, engine_, {out_, err_, false}), 1);
    EXPECT_NE(err_.str().find("refused the requests"), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str().find(kAlbum), std::string::npos);  // no row printed as if listed
  }
  EXPECT_FALSE(downloaded);
}

TEST_F(RefusalCliTest, IntervalAndRetryFailedReachTheControls) {
  EXPECT_EQ(RunCommandLine({"download", kAlbum, "--no-wait", "--interval", "250", "--retry-failed",
                            "--no-record"},
                           engine_, {out_, err_, false}),
            kExitUsage);
  EXPECT_EQ(RunCommandLine({"download", kAlbum, "--no-wait", "--interval", "-1"}, engine_,
                           {out_, err_, false}),
            kExitUsage);
  EXPECT_EQ(RunCommandLine({"download", kAlbum, "--no-wait", "--interval", "250", "--retry-failed"},
                           engine_, {out_, err_, false}),
            1);
  EXPECT_EQ(interval_, "250");
  EXPECT_TRUE(record_);
  EXPECT_EQ(RunCommandLine({"download", kAlbum, "--no-wait"}, engine_, {out_, err_, false}), 1);
  EXPECT_EQ(interval_, "0");
  EXPECT_FALSE(record_);
}

}  // namespace
}  // namespace ak
