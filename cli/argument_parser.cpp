#include "cli/argument_parser.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "base/codec.h"
#include "base/regex_matcher.h"
#include "cli/album_selection.h"
#include "requests/request_pacer.h"

namespace ak {
namespace {

constexpr const char* kUsage =
    "usage: albumkeeper list ADDRESS [--covers] [--cookies FILE]\n"
    "       albumkeeper download ADDRESS [--albums LIST] [--api|--browse] [--large|--medium]\n"
    "                            [--record|--no-record] [--describe|--no-describe]\n"
    "                            [--pattern REGEX] [--to FOLDER] [--cookies FILE]\n"
    "                            [--interval MS] [--no-wait] [--retry-failed]\n"
#ifdef ALBUMKEEPER_WITH_WINDOW
    "       albumkeeper                    the window\n"
    "       albumkeeper --demo             the window against the installed test double\n"
    "       albumkeeper --screenshot FILE [--page N] [--address ADDRESS [--covers]]\n"
#endif
    "       albumkeeper --help | --version\n";

// Sets `value` to `on` or `off` when one of two opposite flags was given.
void FlagPair(const CLI::Option* on, const CLI::Option* off, std::optional<bool>& value) {
  if (on->count() > 0) value = true;
  if (off->count() > 0) value = false;
}

}  // namespace

const char* VersionText() { return "AlbumKeeper 2.0"; }

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

  CLI::App* list = app.add_subcommand("list", "List a person's albums (number, name, address)");
  list->add_option("ADDRESS", request.address, "A person's page or one album's address")
      ->required();
  list->add_flag("--covers", request.covers, "Fetch the albums' cover pictures as well");
  CLI::Option* listCookies =
      list->add_option("--cookies", cookies, "Cookie file to use (default: cookies.txt)");

  CLI::App* download = app.add_subcommand("download", "Download the albums of an address");
  download->add_option("ADDRESS", request.address, "A person's page or one album's address")
      ->required();
  std::string albums;
  CLI::Option* albumsOption = download->add_option(
      "--albums", albums, "Albums to download by number, such as 1,3-5 (default: all)");
  // One bool per flag; only the Option's count matters.
  bool flags[8] = {};
  auto flag = [&download, &flags](int index, const char* name, const char* help) {
    return download->add_flag(name, flags[index], help);
  };
  CLI::Option* api = flag(0, "--api", "Use the JSON API");
  CLI::Option* browse = flag(1, "--browse", "Read the album pages (browse mode)");
  api->excludes(browse);
  CLI::Option* large = flag(2, "--large", "Large (original) pictures");
  CLI::Option* medium = flag(3, "--medium", "Medium pictures");
  large->excludes(medium);
  CLI::Option* record = flag(4, "--record", "Skip photos downloaded before");
  CLI::Option* noRecord = flag(5, "--no-record", "Download photos again");
  record->excludes(noRecord);
  CLI::Option* describe = flag(6, "--describe", "Name pictures after their descriptions");
  CLI::Option* noDescribe = flag(7, "--no-describe", "Name pictures by number");
  describe->excludes(noDescribe);
  std::string pattern;
  CLI::Option* patternOption =
      download->add_option("--pattern", pattern, "Photo-list pattern (regular expression)");
  std::string folder;
  CLI::Option* folderOption = download->add_option("--to", folder, "Save folder");
  CLI::Option* downloadCookies =
      download->add_option("--cookies", cookies, "Cookie file to use (default: cookies.txt)");
  long long interval = 0;
  CLI::Option* intervalOption =
      download
          ->add_option("--interval", interval,
                       "Least time between two requests to the service, in milliseconds")
          ->check(CLI::Range(0LL, kMaxIntervalMs));
  download->add_flag("--no-wait", request.noWait,
                     "When the service refuses the requests, end (exit 1) instead of holding");
  CLI::Option* retryFailed =
      download->add_flag("--retry-failed", request.retryFailed,
                         "Fetch only the photos that were not saved before (the ones that failed)");
  retryFailed->excludes(noRecord);

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
    parsed.exitStatus = kExitUsage;
    parsed.err = std::string("albumkeeper: ") + error.what() + "\n" + kUsage;
    return parsed;
  }

  if (list->parsed()) {
    request.command = CliCommand::kList;
    if (listCookies->count() > 0) request.cookies = cookies;
  } else if (download->parsed()) {
    request.command = CliCommand::kDownload;
    if (albumsOption->count() > 0) {
      const SelectionParse selection = ParseAlbumSelection(albums);
      if (!selection.error.empty()) {
        parsed.exitStatus = kExitUsage;
        parsed.err = "albumkeeper: --albums: " + selection.error + "\n" + kUsage;
        return parsed;
      }
      request.albums = albums;
    }
    FlagPair(browse, api, request.browseMode);
    FlagPair(large, medium, request.large);
    FlagPair(record, noRecord, request.record);
    FlagPair(describe, noDescribe, request.describe);
    if (patternOption->count() > 0) {
      // A pattern that does not compile would find no photo in any page: the run would save
      // nothing and still end as a success.
      if (!RegexMatcher().RunPattern(Utf8ToGbk(pattern), {})) {
        parsed.exitStatus = kExitUsage;
        parsed.err =
            "albumkeeper: --pattern: not a valid regular expression\n" + std::string(kUsage);
        return parsed;
      }
      request.pattern = pattern;
    }
    if (folderOption->count() > 0) {
      if (folder.empty()) {
        parsed.exitStatus = kExitUsage;
        parsed.err = "albumkeeper: --to: the folder is empty\n" + std::string(kUsage);
        return parsed;
      }
      request.saveFolder = folder;
    }
    if (downloadCookies->count() > 0) request.cookies = cookies;
    if (intervalOption->count() > 0) request.intervalMs = interval;
  } else {
    parsed.exitStatus = kExitUsage;
    parsed.err = std::string("albumkeeper: a command is required\n") + kUsage;
    return parsed;
  }
  if (request.cookies && request.cookies->empty()) {
    parsed.exitStatus = kExitUsage;
    parsed.err = "albumkeeper: --cookies: the file name is empty\n" + std::string(kUsage);
    return parsed;
  }
  parsed.request = std::move(request);
  return parsed;
}

}  // namespace ak
