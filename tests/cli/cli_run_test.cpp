#include "cli/cli_run.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "albums/album_list.h"
#include "base/codec.h"
#include "commands/settings.h"
#include "commands/settings_names.h"
#include "net/cookie_jar.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

// What the download command found in the controls when it started.
struct Seen {
  bool browse = false, api = false, medium = false, large = false, record = false, describe = false,
       covers = false;
  Text pattern, folder, address;
  std::vector<bool> ticks;
};

// The engine of these tests: a listing that knows one person with three albums and refuses
// addresses as the program does, and a batch that notes what it was given.
class CliRunTest : public ::testing::Test {
 protected:
  CliRunTest() {
    ::setenv("ALBUMKEEPER_HOME", home_.path().c_str(), 1);
    SharedCookieJar().Clear();
    engine_.list = [this](CommandContext& c) {
      const Text address = c.controls.Caption(ctl::编辑框_号码);
      listCookie_ = SharedCookieJar().Find("www.douban.com", "/", "dbcl2").has_value();
      if (address.empty()) {
        c.controls.ShowMessage(AK_GBK("请输入网址"));
        return GetAlbumsOutcome::kEmptyAddress;
      }
      if (!address.starts_with("http://www.douban.com/")) {
        c.controls.ShowMessage(AK_GBK("网址格式不符"));
        return GetAlbumsOutcome::kBadAddress;
      }
      c.listing.Start([this, &c](WorkerGate& gate) {
        c.controls.AppendLog(AK_GBK("正努力获取相册列表，耐心等待哈！\r\n\r\n"));
        if (interruptListing_) {
          ::kill(::getpid(), SIGINT);
          while (gate.Checkpoint()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        for (const char* name : {"猫", "狗", "鱼"}) {
          const int row = c.controls.AppendRow();
          c.controls.SetCell(row, kColumnNumber, std::to_string(row + 1));
          c.controls.SetCell(row, kColumnName, Utf8ToGbk(name));
          c.controls.SetCell(row, kColumnAddress,
                             "http://www.douban.com/photos/album/" + std::to_string(row + 10));
          c.controls.SetRowChecked(row, true);
        }
      });
      return GetAlbumsOutcome::kStarted;
    };
    engine_.download = [this](CommandContext& c) {
      Controls& k = c.controls;
      seen_.browse = k.Checked(ctl::选择框_浏览模式);
      seen_.api = k.Checked(ctl::选择框_api模式);
      seen_.medium = k.Checked(ctl::单选框_中图);
      seen_.large = k.Checked(ctl::单选框_原图);
      seen_.record = k.Checked(ctl::选择框_下载记录);
      seen_.describe = k.Checked(ctl::选择框_描述作为文件名);
      seen_.covers = k.Checked(ctl::选择框_有图);
      seen_.pattern = k.Caption(ctl::编辑框_正则);
      seen_.folder = k.Caption(ctl::编辑框_保存位置);
      seen_.address = k.Caption(ctl::编辑框_号码);
      for (int row = 0; row < k.RowCount(); ++row) seen_.ticks.push_back(k.RowChecked(row));
      if (interruptStart_) {
        // Ctrl-C before the batch's worker exists.
        ::kill(::getpid(), SIGINT);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      c.batch.Start([this, &k](WorkerGate& gate) {
        k.AppendLog(AK_GBK("---完成相册《猫》下载\r\n\r\n"));
        if (!interruptBatch_ && !interruptStart_) return;
        if (interruptBatch_) ::kill(::getpid(), SIGINT);
        // Bounded, so a batch nobody ends fails the test instead of hanging it.
        for (int i = 0; i < 10000 && gate.Checkpoint(); ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        batchEnded_ = gate.Stopped();
      });
    };
    engine_.end = [this](CommandContext& c) {
      ++endCalls_;
      c.batch.Stop();
    };
    engine_.batchVerdict = [this](CommandContext&) {
      BatchVerdict verdict;
      verdict.failedPhotos = failed_;
      return verdict;
    };
  }
  ~CliRunTest() override {
    ::unsetenv("ALBUMKEEPER_HOME");
    SharedCookieJar().Clear();
  }

  int Run(const std::vector<std::string>& args) {
    return RunCommandLine(args, engine_, {out_, err_, false});
  }
  std::filesystem::path Settings() const { return home_.path() / "peizi.ini"; }

  TempFolder home_;
  CliEngine engine_;
  std::ostringstream out_, err_;
  Seen seen_;
  bool listCookie_ = false;
  bool interruptBatch_ = false;
  bool interruptListing_ = false;
  bool interruptStart_ = false;
  std::atomic<bool> batchEnded_{false};
  int endCalls_ = 0;
  int failed_ = 0;
};

constexpr const char* kPerson = "http://www.douban.com/people/ahua/";

TEST_F(CliRunTest, CoversOnlyWhenAskedFor) {
  ASSERT_TRUE(WriteSetting(Utf8ToGbk(Settings().string()), CoverPicturesOption().section,
                           CoverPicturesOption().key, "1"));
  bool covers = true;
  auto list = engine_.list;
  engine_.list = [&](CommandContext& c) {
    covers = c.controls.Checked(ctl::选择框_有图);
    return list(c);
  };
  EXPECT_EQ(Run({"list", kPerson}), 0);
  EXPECT_FALSE(covers);
  EXPECT_EQ(Run({"list", kPerson, "--covers"}), 0);
  EXPECT_TRUE(covers);
  // Listing makes no folder.
  EXPECT_FALSE(std::filesystem::exists(home_.path() / "防止重复下载数据库"));
}

TEST_F(CliRunTest, ListPrintsOneLinePerAlbumAndTheLogApart) {
  EXPECT_EQ(Run({"list", kPerson}), 0);
  EXPECT_EQ(out_.str(),
            "1\t猫\thttp://www.douban.com/photos/album/10\n"
            "2\t狗\thttp://www.douban.com/photos/album/11\n"
            "3\t鱼\thttp://www.douban.com/photos/album/12\n");
  EXPECT_EQ(err_.str(), "正努力获取相册列表，耐心等待哈！\n\n");
}

// A name from the service can neither drive the terminal nor split its line of the listing.
TEST_F(CliRunTest, ListedNamesAreShownSafely) {
  engine_.list = [](CommandContext& c) {
    const int row = c.controls.AppendRow();
    c.controls.SetCell(row, kColumnNumber, "1");
    c.controls.SetCell(row, kColumnName,
                       "\x1b]0;x\x07"
                       "a\tb\r\nc");
    c.controls.SetCell(row, kColumnAddress, "http://www.douban.com/photos/album/10/");
    return GetAlbumsOutcome::kStarted;
  };
  EXPECT_EQ(Run({"list", kPerson}), 0);
  EXPECT_EQ(out_.str(),
            "1\t\\x1b]0;x\\x07a\\x09b\\x0d\\x0ac\thttp://www.douban.com/photos/album/10/\n");
}

TEST_F(CliRunTest, RefusedAddressExitsTwoWithTheProgramsMessage) {
  struct Row {
    const char* address;
    const char* message;
  } rows[] = {{"", "信息：请输入网址"}, {"http://example.com/x", "信息：网址格式不符"}};
  for (const Row& row : rows) {
    for (const char* command : {"list", "download"}) {
      SCOPED_TRACE(std::string(command) + " " + row.address);
      out_.str("");
      err_.str("");
      EXPECT_EQ(Run({command, row.address}), 2);
      const std::string all = out_.str() + err_.str();
      EXPECT_NE(all.find(row.message), std::string::npos) << all;
      EXPECT_NE(err_.str().find("usage:"), std::string::npos);
    }
  }
  EXPECT_TRUE(seen_.ticks.empty());  // nothing was downloaded
}

TEST_F(CliRunTest, OptionsNotGivenKeepTheSettingsFileAndTheFileIsNeverWritten) {
  ASSERT_TRUE(WriteSetting(Utf8ToGbk(Settings().string()), DownloadModeOption().section,
                           DownloadModeOption().key, "2"));
  ASSERT_TRUE(WriteSetting(Utf8ToGbk(Settings().string()), PictureSizeOption().section,
                           PictureSizeOption().key, "2"));
  ASSERT_TRUE(WriteSetting(Utf8ToGbk(Settings().string()), RecordKeepingOption().section,
                           RecordKeepingOption().key, "1"));
  ASSERT_TRUE(WriteSetting(Utf8ToGbk(Settings().string()), CoverPicturesOption().section,
                           CoverPicturesOption().key, "1"));
  ASSERT_TRUE(WriteSetting(Utf8ToGbk(Settings().string()), PhotoPatternOption().section,
                           PhotoPatternOption().key, AK_GBK("图(\\d+)")));
  const std::string before = ReadFileBytes(Settings());

  EXPECT_EQ(Run({"download", kPerson}), 0);
  EXPECT_FALSE(seen_.browse);
  EXPECT_TRUE(seen_.api);
  EXPECT_TRUE(seen_.large);
  EXPECT_FALSE(seen_.medium);
  EXPECT_TRUE(seen_.record);
  EXPECT_FALSE(seen_.describe);
  EXPECT_EQ(seen_.pattern, AK_GBK("图(\\d+)"));
  EXPECT_EQ(seen_.folder, Utf8ToGbk(home_.path().string()));
  EXPECT_EQ(seen_.address, kPerson);
  EXPECT_EQ(seen_.ticks, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(seen_.covers);
  EXPECT_TRUE(std::filesystem::is_directory(home_.path() / "防止重复下载数据库"));
  EXPECT_EQ(out_.str(), "正努力获取相册列表，耐心等待哈！\n\n---完成相册《猫》下载\n\n");

  seen_ = {};
  EXPECT_EQ(Run({"download", kPerson, "--browse", "--medium", "--no-record", "--describe",
                 "--pattern", "照(\\d+)", "--to", "/srv/相册/"}),
            0);
  EXPECT_TRUE(seen_.browse);
  EXPECT_FALSE(seen_.api);
  EXPECT_TRUE(seen_.medium);
  EXPECT_FALSE(seen_.large);
  EXPECT_FALSE(seen_.record);
  EXPECT_TRUE(seen_.describe);
  EXPECT_EQ(seen_.pattern, AK_GBK("照(\\d+)"));
  EXPECT_EQ(seen_.folder, AK_GBK("/srv/相册"));
  EXPECT_EQ(ReadFileBytes(Settings()), before);
}

TEST_F(CliRunTest, WithoutSettingsFileTheDefaultsHoldAndNoneIsMade) {
  EXPECT_EQ(Run({"download", kPerson, "--to", "rel"}), 0);
  EXPECT_TRUE(seen_.browse);
  EXPECT_TRUE(seen_.medium);
  EXPECT_FALSE(seen_.record);
  EXPECT_EQ(seen_.folder, Utf8ToGbk((std::filesystem::current_path() / "rel").string()));
  EXPECT_FALSE(std::filesystem::exists(Settings()));
}

TEST_F(CliRunTest, AlbumSelectionTicksOnlyThoseRows) {
  struct Row {
    const char* albums;
    int status;
    std::vector<bool> ticks;
  } rows[] = {
      {"2", 0, {false, true, false}},
      {"1,3", 0, {true, false, true}},
      {"2-3,2", 0, {false, true, true}},
      {"3-4", 2, {}},
      {"9", 2, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.albums);
    seen_ = {};
    err_.str("");
    EXPECT_EQ(Run({"download", kPerson, "--albums", row.albums}), row.status);
    EXPECT_EQ(seen_.ticks, row.ticks);
    if (row.status == 2) {
      EXPECT_NE(err_.str().find("is not in the list (3 albums)"), std::string::npos) << err_.str();
    }
  }
}

TEST_F(CliRunTest, FailedPhotosExitOne) {
  failed_ = 2;
  EXPECT_EQ(Run({"download", kPerson}), 1);
}

TEST_F(CliRunTest, CtrlCEndsTheBatchAndExits130) {
  interruptBatch_ = true;
  EXPECT_EQ(Run({"download", kPerson}), 130);
  EXPECT_EQ(endCalls_, 1);
  EXPECT_TRUE(batchEnded_);
  // The handler is gone again: the default action is back.
  struct sigaction now {};
  sigaction(SIGINT, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST_F(CliRunTest, CtrlCWhileTheBatchStartsStillEndsIt) {
  interruptStart_ = true;
  EXPECT_EQ(Run({"download", kPerson}), 130);
  EXPECT_EQ(endCalls_, 1);
  EXPECT_TRUE(batchEnded_);
}

TEST_F(CliRunTest, CtrlCWhileListingStopsBeforeAnyDownload) {
  interruptListing_ = true;
  EXPECT_EQ(Run({"download", kPerson}), 130);
  EXPECT_EQ(endCalls_, 0);  // no batch ran, so there was none to end
  EXPECT_TRUE(seen_.ticks.empty());
}

TEST_F(CliRunTest, UnwiredEngineSaysSoAndFails) {
  const CliEngine empty;
  EXPECT_EQ(RunCommandLine({"list", kPerson}, empty, {out_, err_, false}), 1);
  EXPECT_NE(err_.str().find("cannot list albums"), std::string::npos);
}

class CliCookieTest : public CliRunTest {
 protected:
  std::filesystem::path ProgramCookies() const { return home_.path() / "cookies.txt"; }
  static constexpr const char* kSignIn = "www.douban.com\tFALSE\t/\tFALSE\t0\tdbcl2\tSECRET\n";
};

TEST_F(CliCookieTest, ProgramFolderCookiesReachTheCommands) {
  WriteFileBytes(ProgramCookies(), kSignIn);
  EXPECT_EQ(Run({"list", kPerson}), 0);
  EXPECT_TRUE(listCookie_);
}

TEST_F(CliCookieTest, NamedCookieFileReplacesTheProgramsOwn) {
  const std::filesystem::path named = home_.path() / "other.txt";
  WriteFileBytes(named, kSignIn);
  EXPECT_EQ(Run({"list", kPerson, "--cookies", named.string()}), 0);
  EXPECT_TRUE(listCookie_);
}

TEST_F(CliCookieTest, CookieFileErrors) {
  const std::filesystem::path bad = home_.path() / "bad.txt";
  const std::string badText = std::string(kSignIn) + "# fine\n\ndouban.com\tTRUE\t/\tFALSE\n";
  WriteFileBytes(bad, badText);
  struct Row {
    std::vector<std::string> args;
    int status;
    const char* says;
  } rows[] = {
      {{"list", kPerson, "--cookies", (home_.path() / "none.txt").string()}, 2, "no file"},
      {{"download", kPerson, "--cookies", bad.string()}, 2, "第 4 行"},
      {{"list", kPerson, "--cookies", home_.path().string()}, 2, "无法读取"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.says);
    err_.str("");
    listCookie_ = false;
    EXPECT_EQ(Run(row.args), row.status);
    EXPECT_NE(err_.str().find(row.says), std::string::npos) << err_.str();
    EXPECT_EQ(err_.str().find("SECRET"), std::string::npos);
    EXPECT_FALSE(listCookie_);
    EXPECT_TRUE(SharedCookieJar().All().empty());
  }
  EXPECT_EQ(ReadFileBytes(bad), badText);
}

TEST_F(CliCookieTest, BrokenProgramCookieFileIsReportedAndTheRunGoesOn) {
  const std::string badText = std::string(kSignIn) + "junk\n";
  WriteFileBytes(ProgramCookies(), badText);
  EXPECT_EQ(Run({"list", kPerson}), 0);
  EXPECT_NE(err_.str().find("第 2 行"), std::string::npos) << err_.str();
  EXPECT_FALSE(listCookie_);
  EXPECT_NE(out_.str().find("猫"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(ProgramCookies()), badText);
}

}  // namespace
}  // namespace ak
