#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/album_selection.h"

namespace ak {

enum class CliCommand { kList, kDownload, kImport };

// What the command line asked for, as given (UTF-8). An option that was not given is empty and
// leaves its control as the settings file set it.
struct CliRequest {
  CliCommand command = CliCommand::kList;
  std::string address;
  // list: fetch the cover pictures too.
  bool covers = false;
  // list: one JSON object on standard output instead of the tab-separated rows.
  bool json = false;
  // download: the addresses to run one after another, one a line (--input FILE), in place of
  // the address.
  std::optional<std::string> inputFile;
  // download: album.json beside the pictures of every album (--write-metadata).
  std::optional<bool> writeMetadata;
  // download: the albums to tick (--albums 1,3-5 read once); all when absent.
  std::optional<std::vector<SelectionRange>> albums;
  // true: browse (page) mode, false: API mode.
  std::optional<bool> browseMode;
  // true: large pictures, false: medium.
  std::optional<bool> large;
  // download: the original ("raw") pictures, offered to signed-in users.
  bool original = false;
  // download: the key sent to the service's API.
  std::optional<std::string> apiKey;
  std::optional<bool> record;
  std::optional<bool> describe;
  std::optional<std::string> pattern;
  // download: the save folder; import: the folder to look in (FOLDER).
  std::optional<std::string> saveFolder;
  // The cookie file to load instead of the one in the program's folder.
  std::optional<std::string> cookies;
  // download: when the service refuses the requests, end the batch (exit 1) instead of holding.
  bool noWait = false;
  // download: the least time between two requests to the service, in milliseconds: "MS" or a
  // range "LOW-HIGH" each wait is drawn from (checked when read).
  std::optional<std::string> interval;
  // download: pictures of an album fetched at once, 1 to 8.
  std::optional<int> connections;
  // download: tick the record box for this run, so only the photos that were not saved before
  // (the ones that failed) are fetched.
  bool retryFailed = false;

  bool operator==(const CliRequest&) const = default;
};

}  // namespace ak
