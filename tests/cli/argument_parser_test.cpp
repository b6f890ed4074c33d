#include "cli/argument_parser.h"

#include <gtest/gtest.h>

#include "base/version.h"

namespace ak {
namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : line + " ") {
    if (c == ' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

TEST(ArgumentParserTest, BadCommandLinesExitTwoWithUsage) {
  const char* rows[] = {
      "",
      "--bogus",
      "list",
      "download",
      "fetch http://x/",
      "list http://x/ --api",
      "list http://x/ extra",
      "download http://x/ --api --browse",
      "download http://x/ --large --medium",
      "download http://x/ --original --large",
      "download http://x/ --medium --original",
      "download http://x/ --record --no-record",
      "download http://x/ --describe --no-describe",
      "download http://x/ --albums",
      "download http://x/ --albums 0",
      "download http://x/ --albums 2-1",
      "download http://x/ --albums 1,,2",
      "download http://x/ --albums a",
      "download http://x/ --to",
      "download http://x/ --cookies",
      "download http://x/ --covers",
      // ADDRESS or --input, one of them.
      "download --to out",
      "download http://x/ --input list.txt",
      "download --input",
      "download http://x/ --write-metadata --no-write-metadata",
      "list http://x/ --write-metadata",
      "import http://x/",
      "import out http://x/ --large",
      "import out http://x/ --to other",
      // Patterns that do not compile.
      "download http://x/ --pattern (",
      "download http://x/ --pattern a[b",
      "download http://x/ --pattern (?<n>a)(?<n>b)",
  };
  for (const char* row : rows) {
    SCOPED_TRACE(row);
    const ParsedArguments parsed = ParseArguments(Split(row));
    EXPECT_FALSE(parsed.request.has_value());
    EXPECT_EQ(parsed.exitStatus, kExitUsage);
    EXPECT_NE(parsed.err.find("usage: albumkeeper list ADDRESS"), std::string::npos) << parsed.err;
    EXPECT_TRUE(parsed.out.empty());
  }
}

TEST(ArgumentParserTest, EmptyNamesAreRefused) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"download", "http://x/", "--to", ""},
        std::vector<std::string>{"list", "http://x/", "--cookies", ""},
        std::vector<std::string>{"download", "http://x/", "--api-key", ""}}) {
    const ParsedArguments parsed = ParseArguments(args);
    EXPECT_EQ(parsed.exitStatus, kExitUsage);
    EXPECT_FALSE(parsed.request.has_value());
  }
}

TEST(ArgumentParserTest, HelpAndVersionGoToStandardOutput) {
  for (const char* row : {"--help", "-h", "download --help", "list -h"}) {
    SCOPED_TRACE(row);
    const ParsedArguments parsed = ParseArguments(Split(row));
    EXPECT_EQ(parsed.exitStatus, kExitOk);
    EXPECT_FALSE(parsed.request.has_value());
    EXPECT_NE(parsed.out.find("usage: albumkeeper"), std::string::npos);
    EXPECT_TRUE(parsed.err.empty());
  }
  const ParsedArguments version = ParseArguments({"--version"});
  EXPECT_EQ(version.exitStatus, kExitOk);
  EXPECT_EQ(version.out, std::string(kVersionText) + "\n");
  EXPECT_NE(ParseArguments({"download", "--help"}).out.find("--albums"), std::string::npos);
}

TEST(ArgumentParserTest, GoodCommandLinesGiveTheirRequest) {
  struct Row {
    const char* line;
    CliRequest expected;
  };
  auto request = [](CliCommand command, auto&& set) {
    CliRequest r;
    r.command = command;
    r.address = "http://www.douban.com/people/ahua/";
    set(r);
    return r;
  };
  const Row rows[] = {
      {"list http://www.douban.com/people/ahua/", request(CliCommand::kList, [](CliRequest&) {})},
      {"list http://www.douban.com/people/ahua/ --covers --cookies c.txt",
       request(CliCommand::kList,
               [](CliRequest& r) {
                 r.covers = true;
                 r.cookies = "c.txt";
               })},
      {"download http://www.douban.com/people/ahua/",
       request(CliCommand::kDownload, [](CliRequest&) {})},
      {"download http://www.douban.com/people/ahua/ --api --large --record --describe",
       request(CliCommand::kDownload,
               [](CliRequest& r) {
                 r.browseMode = false;
                 r.large = true;
                 r.record = true;
                 r.describe = true;
               })},
      {"download --browse --medium --no-record --no-describe "
       "http://www.douban.com/people/ahua/",
       request(CliCommand::kDownload,
               [](CliRequest& r) {
                 r.browseMode = true;
                 r.large = false;
                 r.record = false;
                 r.describe = false;
               })},
      {"download http://www.douban.com/people/ahua/ --original --api-key 0a1b",
       request(CliCommand::kDownload,
               [](CliRequest& r) {
                 r.original = true;
                 r.apiKey = "0a1b";
               })},
      {"download http://www.douban.com/people/ahua/ --albums 1,3-5 --pattern a(b)c --to out "
       "--cookies /tmp/k.txt",
       request(CliCommand::kDownload,
               [](CliRequest& r) {
                 r.albums = {{{1, 1}, {3, 5}}};
                 r.pattern = "a(b)c";
                 r.saveFolder = "out";
                 r.cookies = "/tmp/k.txt";
               })},
      {"list http://www.douban.com/people/ahua/ --json",
       request(CliCommand::kList, [](CliRequest& r) { r.json = true; })},
      {"download --input list.txt --write-metadata", request(CliCommand::kDownload,
                                                             [](CliRequest& r) {
                                                               r.address.clear();
                                                               r.inputFile = "list.txt";
                                                               r.writeMetadata = true;
                                                             })},
      {"import saved http://www.douban.com/people/ahua/ --api --albums 2 --cookies c.txt",
       request(CliCommand::kImport,
               [](CliRequest& r) {
                 r.saveFolder = "saved";
                 r.browseMode = false;
                 r.albums = {{{2, 2}}};
                 r.cookies = "c.txt";
                 r.record = false;
               })},
      {"download http://www.douban.com/people/ahua/ --albums=2 --to=/srv/p",
       request(CliCommand::kDownload,
               [](CliRequest& r) {
                 r.albums = {{{2, 2}}};
                 r.saveFolder = "/srv/p";
               })},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    const ParsedArguments parsed = ParseArguments(Split(row.line));
    ASSERT_TRUE(parsed.request.has_value()) << parsed.err;
    // The whole request: a field the parser forgets to fill, or fills wrongly, differs.
    EXPECT_TRUE(*parsed.request == row.expected);
  }
}

TEST(ArgumentParserTest, AddressIsTakenAsItIsEvenWhenEmptyOrChinese) {
  const ParsedArguments empty = ParseArguments({"list", ""});
  ASSERT_TRUE(empty.request.has_value());
  EXPECT_EQ(empty.request->address, "");
  const ParsedArguments chinese = ParseArguments({"download", "相册", "--pattern", "照片(\\d+)"});
  ASSERT_TRUE(chinese.request.has_value());
  EXPECT_EQ(chinese.request->address, "相册");
  EXPECT_EQ(chinese.request->pattern, "照片(\\d+)");
}

}  // namespace
}  // namespace ak
