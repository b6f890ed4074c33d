// Folders the command line refuses because their names would not survive as GBK text.

#include <gtest/gtest.h>

#include "cli/option_controls.h"

namespace ak {
namespace {

TEST(FolderNamesTest, RefusesFoldersGbkCannotName) {
  const std::string hangul = "\xEC\x82\xAC\xEC\xA7\x84";  // 사진
  struct Case {
    const char* name;
    CliCommand command;
    std::optional<std::string> saveFolder;
    std::string programDir;
    const char* refusal;  // part of the message; empty when accepted
  } cases[] = {
      {"plain folders", CliCommand::kDownload, "/srv/相册", "/opt/albumkeeper", ""},
      {"relative save folder", CliCommand::kDownload, "相册/2015", "/opt/albumkeeper", ""},
      {"no save folder", CliCommand::kDownload, std::nullopt, "/opt/albumkeeper", ""},
      {"program folder", CliCommand::kList, std::nullopt, "/home/" + hangul, "ALBUMKEEPER_HOME"},
      {"absolute save folder", CliCommand::kDownload, "/srv/" + hangul, "/opt/a", "--to: "},
      {"relative save folder", CliCommand::kDownload, hangul + "/x", "/opt/a", "--to: "},
      {"emoji", CliCommand::kDownload, "/srv/\xF0\x9F\x98\x80", "/opt/a", "--to: "},
      // A listing saves nothing, wherever --to would point.
      {"listing", CliCommand::kList, "/srv/" + hangul, "/opt/a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CliRequest request;
    request.command = c.command;
    request.saveFolder = c.saveFolder;
    const std::string refused = FolderGbkCannotHold(request, c.programDir);
    if (*c.refusal == '\0') {
      EXPECT_EQ(refused, "");
    } else {
      EXPECT_NE(refused.find(c.refusal), std::string::npos) << refused;
    }
  }
}

}  // namespace
}  // namespace ak
