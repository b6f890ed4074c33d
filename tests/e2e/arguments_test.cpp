// What the command line refuses before any download: bad addresses with the program's own
// messages, bad options with the usage; both exit 2 and send nothing to the service.

#include <gtest/gtest.h>

#include "base/version.h"
#include "tests/e2e/e2e_support.h"

namespace ak::e2e {
namespace {

class ArgumentsTest : public EndToEndTest {};

TEST_F(ArgumentsTest, RefusedRunsExitTwoWithTheirReason) {
  StartDouble();
  struct Case {
    std::vector<std::string> args;
    const char* said;  // UTF-8, on standard output or error
  } cases[] = {
      {{"list", ""}, "请输入网址"},
      {{"download", "", "--to", "x"}, "请输入网址"},
      {{"list", "http://www.douban.com/group/12345/"}, "网址格式不符"},
      {{"download", "hello world"}, "网址格式不符"},
      {{"download", kPersonAddress, "--bogus"}, "usage: albumkeeper"},
      {{"download", kPersonAddress, "--api", "--browse"}, "usage: albumkeeper"},
      {{"download", kPersonAddress, "--albums", "3-x"}, "usage: albumkeeper"},
      {{"download", kPersonAddress, "--to"}, "usage: albumkeeper"},
      {{"fetch", kPersonAddress}, "usage: albumkeeper"},
      {{"list"}, "usage: albumkeeper"},
      {{"download", kPersonAddress, "--pattern", "(photo"}, "--pattern: not a valid"},
      // A folder GBK cannot name (Hangul) would become "?" in the program's paths.
      {{"download", kPersonAddress, "--to", (saveFolder() / "사진").string()}, "GBK cannot hold"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& arg : c.args) shown += "[" + arg + "] ";
    SCOPED_TRACE(shown);
    const ProgramResult result = Run(c.args);
    EXPECT_EQ(result.exitStatus, 2) << Describe(result);
    EXPECT_NE((result.out + result.err).find(c.said), std::string::npos) << Describe(result);
  }
  EXPECT_TRUE(douban().Requests().empty());
  EXPECT_TRUE(EntriesUnder(saveFolder()).empty());
}

TEST_F(ArgumentsTest, ProgramFolderThatGbkCannotNameIsRefused) {
  StartDouble();
  EnvChanges env = Environment();
  const std::filesystem::path home = work_.path() / "사진";
  std::filesystem::create_directory(home);
  env["ALBUMKEEPER_HOME"] = home.string();
  for (const char* command : {"list", "download"}) {
    const ProgramResult result = RunProgram({command, kPersonAddress}, env);
    EXPECT_EQ(result.exitStatus, 2) << Describe(result);
    EXPECT_NE(result.err.find("ALBUMKEEPER_HOME"), std::string::npos) << Describe(result);
  }
  EXPECT_TRUE(douban().Requests().empty());
  EXPECT_TRUE(EntriesUnder(home).empty());
  EXPECT_FALSE(std::filesystem::exists(work_.path() / "??"));
}

TEST_F(ArgumentsTest, HelpAndVersionExitZero) {
  const ProgramResult help = Run({"--help"});
  EXPECT_EQ(help.exitStatus, 0) << Describe(help);
  EXPECT_NE(help.out.find("albumkeeper download ADDRESS"), std::string::npos) << Describe(help);
  const ProgramResult version = Run({"--version"});
  EXPECT_EQ(version.exitStatus, 0) << Describe(version);
  EXPECT_EQ(version.out, std::string(kVersionText) + "\n");
}

}  // namespace
}  // namespace ak::e2e
