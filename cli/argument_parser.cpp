#include "cli/argument_parser.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "base/codec.h"
#include "base/regex_matcher.h"
#include "base/version.h"
#include "cli/album_selection.h"
#include "cli/manual_page.h"
#include "download/batch_policy.h"
#include "requests/request_pacer.h"

namespace ak {
namespace {

constexpr const char* kUsage =
    "usage: albumkeeper list ADDRESS [--covers] [--json] [--cookies FILE]\n"
    "       albumkeeper download ADDRESS|--input FILE [--albums LIST] [--api|--browse]\n"
    "                            [--large|--medium|--original] [--api-key KEY]\n"
    "                            [--record|--no-record] [--describe|--no-describe]\n"
    "                            [--pattern REGEX] [--to FOLDER] [--cookies FILE]\n"
    "                            [--interval MS|LOW-HIGH] [--connections N] [--no-wait]\n"
    "                            [--retry-failed]\n"
    "                            [--interval MS] [--no-wait] [--retry-failed]\n"
    "                            [--write-metadata|--no-write-metadata]\n"
    "       albumkeeper import FOLDER ADDRESS [--albums LIST] [--api|--browse]\n"
    "                            [--api-key KEY] [--describe|--no-describe] [--cookies FILE]\n"
    "                            [--interval MS] [--no-wait]\n"
#ifdef ALBUMKEEPER_WITH_WINDOW
    "       albumkeeper                    the window\n"
    "       albumkeeper --demo             the window against the installed test double\n"
    "       albumkeeper --screenshot FILE [--page N] [--address ADDRESS [--covers]]\n"
#endif
    "       albumkeeper --help | --version\n";

// A pair of opposite flags, such as --record and --no-record: the option is set only when one of
// them is given (CLI11 keeps the two from being given together).
struct FlagPair {
  CLI::Option* on = nullptr;
  CLI::Option* off = nullptr;
  std::optional<bool> Value() const {
    if (on->count() > 0) return true;
    if (off->count() > 0) return false;
    return std::nullopt;
  }
};

FlagPair AddFlagPair(CLI::App& app, const char* on, const std::string& onHelp, const char* off,
                     const std::string& offHelp) {
  FlagPair pair{app.add_flag(on, onHelp), app.add_flag(off, offHelp)};
  pair.on->excludes(pair.off);
  return pair;
}

// The options of `download` as CLI11 reads them, before they are checked.
struct DownloadOptions {
  CLI::App* command = nullptr;
  CLI::Option* address = nullptr;
  CLI::Option* input = nullptr;
  std::string inputText;
  FlagPair metadata;  // --write-metadata / --no-write-metadata
  CLI::Option* albums = nullptr;
  std::string albumsText;
  FlagPair browse;  // --browse / --api
  FlagPair large;   // --large / --medium
  CLI::Option* original = nullptr;
  CLI::Option* apiKey = nullptr;
  std::string apiKeyText;
  FlagPair record;  // --record / --no-record
  FlagPair describe;
  CLI::Option* pattern = nullptr;
  std::string patternText;
  CLI::Option* folder = nullptr;
  std::string folderText;
  CLI::Option* cookies = nullptr;
  CLI::Option* interval = nullptr;
  std::string intervalText;
  CLI::Option* connections = nullptr;
  int connectionCount = 0;
};

struct ListOptions {
  CLI::App* command = nullptr;
  CLI::Option* cookies = nullptr;
};

// The options of `import` as CLI11 reads them.
struct ImportOptions {
  CLI::App* command = nullptr;
  std::string folderText;
  CLI::Option* albums = nullptr;
  std::string albumsText;
  FlagPair browse;
  FlagPair describe;
  CLI::Option* apiKey = nullptr;
  std::string apiKeyText;
  CLI::Option* cookies = nullptr;
  CLI::Option* interval = nullptr;
  std::string intervalText;
};

ListOptions AddList(CLI::App& app, CliRequest& request, std::string& cookies) {
  ListOptions list;
  list.command = app.add_subcommand("list", "List a person's albums (number, name, address)");
  list.command->add_option("ADDRESS", request.address, "A person's page or one album's address")
      ->required();
  list.command->add_flag("--covers", request.covers, "Fetch the albums' cover pictures as well");
  list.command->add_flag("--json", request.json,
                         "Print one JSON object (source, owner, albums) instead of the rows");
  list.cookies =
      list.command->add_option("--cookies", cookies, "Cookie file to use (default: cookies.txt)");
  return list;
}

void AddDownload(CLI::App& app, CliRequest& request, std::string& cookies, DownloadOptions& d) {
  CLI::App& download = *app.add_subcommand("download", "Download the albums of an address");
  d.command = &download;
  d.address =
      download.add_option("ADDRESS", request.address, "A person's page or one album's address");
  d.input = download.add_option("--input", d.inputText,
                                "Run the addresses of FILE one after another (one a line, # "
                                "comments); in place of ADDRESS");
  d.input->excludes(d.address);
  d.albums = download.add_option("--albums", d.albumsText,
                                 "Albums to download by number, such as 1,3-5 (default: all)");
  d.browse = AddFlagPair(download, "--browse", "Read the album pages (browse mode)", "--api",
                         "Use the JSON API");
  d.large = AddFlagPair(download, "--large", "Large pictures", "--medium", "Medium pictures");
  d.original = download.add_flag("--original", request.original,
                                 "Original pictures (a sign-in needed, else large ones)");
  d.original->excludes(d.large.on)->excludes(d.large.off);
  d.apiKey = download.add_option("--api-key", d.apiKeyText, "Key of the service's JSON API");
  d.record = AddFlagPair(download, "--record", "Skip photos downloaded before", "--no-record",
                         "Download photos again");
  d.describe = AddFlagPair(download, "--describe", "Name pictures after their descriptions",
                           "--no-describe", "Name pictures by number");
  d.pattern =
      download.add_option("--pattern", d.patternText, "Photo-list pattern (regular expression)");
  d.folder = download.add_option("--to", d.folderText, "Save folder");
  d.cookies =
      download.add_option("--cookies", cookies, "Cookie file to use (default: cookies.txt)");
  d.interval = download.add_option(
      "--interval", d.intervalText,
      "Least time between two requests to the service, in milliseconds, or a range such as "
      "800-1500 that each wait is drawn from");
  d.connections =
      download
          .add_option("--connections", d.connectionCount,
                      "Pictures of an album fetched at once, 1 to 8 (default: the settings, 3)")
          ->check(CLI::Range(1, kMaxConnections));
  download.add_flag("--no-wait", request.noWait,
                    "When the service refuses the requests, end (exit 1) instead of holding");
  download
      .add_flag("--retry-failed", request.retryFailed,
                "Fetch only the photos that were not saved before (the ones that failed)")
      ->excludes(d.record.off);
  d.metadata = AddFlagPair(download, "--write-metadata",
                           "Write album.json (album and photos) into every album folder",
                           "--no-write-metadata", "Write no album.json");
}

void AddImport(CLI::App& app, CliRequest& request, std::string& cookies, ImportOptions& i) {
  CLI::App& import = *app.add_subcommand(
      "import", "Record as downloaded the photos whose whole pictures are already under FOLDER");
  i.command = &import;
  import.add_option("FOLDER", i.folderText, "The save folder of the earlier download")->required();
  import.add_option("ADDRESS", request.address, "A person's page or one album's address")
      ->required();
  i.albums = import.add_option("--albums", i.albumsText,
                               "Albums to look at by number, such as 1,3-5 (default: all)");
  i.browse = AddFlagPair(import, "--browse", "Walk the album pages (browse mode)", "--api",
                         "Walk the albums through the JSON API");
  i.describe = AddFlagPair(import, "--describe", "The pictures were named after descriptions",
                           "--no-describe", "The pictures were named by number");
  i.apiKey = import.add_option("--api-key", i.apiKeyText, "Key of the service's JSON API");
  i.cookies = import.add_option("--cookies", cookies, "Cookie file to use (default: cookies.txt)");
  i.interval = import.add_option(
      "--interval", i.intervalText,
      "Least time between two requests to the service, in milliseconds, or a range such as "
      "800-1500 that each wait is drawn from");
  import.add_flag("--no-wait", request.noWait,
                  "When the service refuses the requests, end (exit 1) instead of holding");
}

// Checks and copies what `download` was given into the request; the error (without the
// program's name) when an option cannot be used.
std::string TakeDownload(const DownloadOptions& d, CliRequest& request) {
  request.command = CliCommand::kDownload;
  if (d.albums->count() > 0) {
    SelectionParse selection = ParseAlbumSelection(d.albumsText);
    if (!selection.error.empty()) return "--albums: " + selection.error;
    request.albums = std::move(selection.ranges);
  }
  request.browseMode = d.browse.Value();
  request.large = d.large.Value();
  if (d.apiKey->count() > 0) {
    if (d.apiKeyText.empty()) return "--api-key: the key is empty";
    request.apiKey = d.apiKeyText;
  }
  request.record = d.record.Value();
  request.describe = d.describe.Value();
  if (d.pattern->count() > 0) {
    // A pattern that does not compile would find no photo in any page: the run would save
    // nothing and still end as a success.
    if (!RegexMatcher().RunPattern(Utf8ToGbk(d.patternText), {})) {
      return "--pattern: not a valid regular expression";
    }
    request.pattern = d.patternText;
  }
  if (d.folder->count() > 0) {
    if (d.folderText.empty()) return "--to: the folder is empty";
    request.saveFolder = d.folderText;
  }
  if (d.interval->count() > 0) {
    if (!IsIntervalText(d.intervalText)) {
      return "--interval: milliseconds from 0 to " + std::to_string(kMaxIntervalMs) +
             ", or a range such as 800-1500";
    }
    request.interval = d.intervalText;
  }
  if (d.connections->count() > 0) request.connections = d.connectionCount;
  request.writeMetadata = d.metadata.Value();
  if (d.input->count() > 0) {
    if (d.inputText.empty()) return "--input: the file name is empty";
    request.inputFile = d.inputText;
  } else if (d.address->count() == 0) {
    return "ADDRESS or --input is required";
  }
  return {};
}

std::string TakeImport(const ImportOptions& i, CliRequest& request) {
  request.command = CliCommand::kImport;
  if (i.folderText.empty()) return "FOLDER: the folder is empty";
  request.saveFolder = i.folderText;
  if (i.albums->count() > 0) {
    SelectionParse selection = ParseAlbumSelection(i.albumsText);
    if (!selection.error.empty()) return "--albums: " + selection.error;
    request.albums = std::move(selection.ranges);
  }
  request.browseMode = i.browse.Value();
  request.describe = i.describe.Value();
  if (i.apiKey->count() > 0) {
    if (i.apiKeyText.empty()) return "--api-key: the key is empty";
    request.apiKey = i.apiKeyText;
  }
  if (i.interval->count() > 0) {
    if (!IsIntervalText(i.intervalText)) {
      return "--interval: milliseconds from 0 to " + std::to_string(kMaxIntervalMs) +
             ", or a range such as 800-1500";
    }
    request.interval = i.intervalText;
  }
  // Pictures are never fetched: the record decides what is looked at, not the record box.
  request.record = false;
  return {};
}

ParsedArguments Refused(const std::string& why) {
  ParsedArguments parsed;
  parsed.exitStatus = kExitUsage;
  parsed.err = "albumkeeper: " + why + "\n" + kUsage;
  return parsed;
}

}  // namespace

const char* VersionText() { return kVersionText; }

std::string UsageText() { return kUsage; }

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  CLI::App app("AlbumKeeper: downloads whole photo albums of Douban.", "albumkeeper");
  app.set_version_flag("--version", VersionText(), "Print the version and exit");
  app.require_subcommand(0, 1);
  app.footer(
      "Options not given keep the values of peizi.ini in the program's folder "
      "(ALBUMKEEPER_HOME); the command line never changes that file.\n"
      "Exit status: 0 done, 1 photos failed, 2 bad arguments or address, 130 interrupted.");

  CliRequest request;
  std::string cookies;
  const ListOptions list = AddList(app, request, cookies);
  DownloadOptions download;
  AddDownload(app, request, cookies, download);
  ImportOptions import;
  AddImport(app, request, cookies, import);
  // Hidden: the manual page and the bash completion, made from these very options at build
  // time.
  bool manPage = false;
  bool completion = false;
  app.add_flag("--man", manPage)->group("");
  app.add_flag("--bash-completion", completion)->group("");

  ParsedArguments parsed;
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    parsed.out = app.help() + "\n" + kUsage;
    return parsed;
  } catch (const CLI::CallForAllHelp&) {
    parsed.out = app.help("", CLI::AppFormatMode::All);
    return parsed;
  } catch (const CLI::CallForVersion&) {
    parsed.out = std::string(VersionText()) + "\n";
    return parsed;
  } catch (const CLI::ParseError& error) {
    return Refused(error.what());
  }
  if (manPage || completion) {
    parsed.out = manPage ? ManualPage(app, kUsage) : BashCompletion(app);
    return parsed;
  }

  if (list.command->parsed()) {
    request.command = CliCommand::kList;
  } else if (download.command->parsed()) {
    if (const std::string why = TakeDownload(download, request); !why.empty()) return Refused(why);
  } else if (import.command->parsed()) {
    if (const std::string why = TakeImport(import, request); !why.empty()) {
      return Refused(why);
    }
  } else {
    return Refused("a command is required");
  }
  if (list.cookies->count() > 0 || download.cookies->count() > 0 || import.cookies->count() > 0) {
    if (cookies.empty()) return Refused("--cookies: the file name is empty");
    request.cookies = cookies;
  }
  parsed.request = std::move(request);
  return parsed;
}

}  // namespace ak
