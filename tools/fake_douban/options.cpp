#include "tools/fake_douban/options.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

namespace ak::fake {
namespace {

bool ToInt(const char* text, long& out) {
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  return end != text && *end == '\0';
}

}  // namespace

const char* UsageText() {
  return R"(Usage: fake_douban [OPTION]...
A fake Douban for tests, the demo mode and the benchmarks. It serves the web host (HTTP), the
API host (HTTPS) and the picture hosts, told apart by the Host header, on two loopback ports.

The first line of standard output is "web=PORT api=PORT", then "ca=FILE" (the certificate to
trust) and "connect-to=..." (the value for ALBUMKEEPER_CONNECT_TO). The double stops on
SIGTERM, SIGINT and when its standard input closes.

Options:
  --fixture FILE        people, albums and photos (JSON, see below); default: built in
  --dump-fixture        print the built-in fixture and exit
  --web-port N          HTTP port (default: a free one)
  --api-port N          HTTPS port (default: a free one)
  --request-log FILE    append one JSON line per request received: seq, scheme, method,
                        target (path with query), version, headers as [name, value] pairs
                        in the order the client sent them
  --cert-dir DIR        where to write cert.pem and key.pem (default: a new temporary folder)
  --update-version V    version on the update page /albumkeeper/update.txt
  --ignore-stdin        keep running when standard input closes (for running by hand)
  --hostile-names       add the person "hostile": 15 albums whose titles and descriptions hold
                        control characters (escape sequences, NUL, DEL), a title of 900
                        bytes, one beginning with NUL, one of control characters only

Faults (MATCH is a prefix of the path with query; without one, every page and API answer
but no picture):
  --block-after N       answer 403 with a block page from request N+1 on
  --block-count K       with --block-after: refuse K requests only, then serve again
  --block-login         refused web-host requests are redirected (302) to /login instead
  --login-pictures K    the first K picture requests are redirected (302) to /login
  --ignore-start        album pages ignore "?start=": every page lists the first photos
  --new-layout          album pages list their photos in a markup of another layout
  --cover-referer       cover pictures answer 403 unless the Referer names the web host
  --today               today's service: album pages in a later markup (m/l thumbnails,
                        .webp, lazy data-src) paged by m_start; pictures at
                        /view/photo/{s,m,l,raw}/public/pID.{jpg,webp} (a .webp answers the
                        same JPEG) only with a Referer of the web host, originals (raw) only
                        with a session cookie; the API only with apikey=fake-valid-key
                        (none: code 131, fake-blocked-key: 403 code 105, others: code 104);
                        refusals as a 403 redirect to https://sec.douban.com/b?r=..., or with
                        --block-login the login-redirect page
  --empty-first K       the first K answers of each page come with an empty body
  --empty-match MATCH
  --slow-ms MS          wait MS milliseconds before each matching answer
  --slow-match MATCH
  --slow-varied         with --slow-ms: each matching answer waits 0 to 3 times MS, the same
                        for the same address, so answers of requests in flight overtake others
  --cut-off MATCH       matching answers announce their length, send half the body and close
                        (use "/" for every request)
  --picture-error ID=STATUS
                        the medium and large pictures of photo ID answer an HTML error page
                        with STATUS (200 or 404); repeatable
  --redirect-https      the web host over HTTP answers 301 to the same address on https
  --garbage MATCH       matching answers are 200 with 16 KiB of random bytes (the same for
                        the same address), e.g. "/photos/album/" for every album page
  --photo-count TEXT    album pages and API answers claim TEXT photos (2147483647, or
                        something that is not a number), whatever the album holds
  --list-pages TEXT     album-list pages claim TEXT pages (shown even for one page)
  --api-answer MATCH=FILE
                        API requests whose path with query starts with MATCH are answered
                        200 with the bytes of FILE, read at start; repeatable

Fixture format:
  {"web_host": "www.douban.com", "api_host": "api.douban.com", "update_version": "2.0",
   "people": [{"name": "ahua", "display_name": "...", "feed_link": true,
     "albums": [{"id": "1620000001", "title": "...", "cover": true,
                 "cover_host": "img1.doubanio.com",
                 "photos": [{"id": "2155058361", "host": "img3.doubanio.com",
                             "desc": "..." or null, "large": true, "api_scheme": "https"}],
                 "generated_photos": 14}]}]}
  Ids are digits. "generated_photos" appends photos with ids ALBUMID0001, ALBUMID0002, ...
  A photo with "large": false has no large picture (404) and no "large" in the API.

Paths: /, /login (GET form, POST sets the dbcl2 cookie), /people/NAME, /people/NAME/photos
?start=S (16 albums a page), /photos/album/ID/?start=S (18 photos a page), on the API host
/v2/album/ID/photos?start=S&count=C (C at most 100), on picture hosts
/view/photo/{thumb,photo,large,albumcover}/public/pID.jpg.
)";
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](const char*& out) {
      if (i + 1 >= argc) {
        error = std::string(arg) + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    auto number = [&](long& out) {
      const char* text = nullptr;
      if (!value(text)) return false;
      if (!ToInt(text, out) || out < 0) {
        error = std::string(arg) + " needs a number, not '" + text + "'";
        return false;
      }
      return true;
    };
    const char* text = nullptr;
    long n = 0;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--dump-fixture") {
      options.dumpFixture = true;
    } else if (arg == "--ignore-stdin") {
      options.watchStdin = false;
    } else if (arg == "--hostile-names") {
      options.hostileNames = true;
    } else if (arg == "--garbage") {
      if (!value(text)) return false;
      options.faults.garbage = true;
      options.faults.garbageMatch = text;
    } else if (arg == "--photo-count") {
      if (!value(text)) return false;
      options.faults.photoCount = text;
    } else if (arg == "--list-pages") {
      if (!value(text)) return false;
      options.faults.listPages = text;
    } else if (arg == "--redirect-https") {
      options.faults.redirectHttps = true;
    } else if (arg == "--fixture") {
      if (!value(text)) return false;
      options.fixtureFile = text;
    } else if (arg == "--request-log") {
      if (!value(text)) return false;
      options.requestLog = text;
    } else if (arg == "--cert-dir") {
      if (!value(text)) return false;
      options.certDir = text;
    } else if (arg == "--update-version") {
      if (!value(text)) return false;
      options.updateVersion = text;
    } else if (arg == "--web-port" || arg == "--api-port") {
      if (!number(n)) return false;
      if (n > 65535) {
        error = std::string(arg) + " out of range";
        return false;
      }
      (arg == "--web-port" ? options.webPort : options.apiPort) = static_cast<int>(n);
    } else if (arg == "--block-after") {
      if (!number(n)) return false;
      options.faults.blockAfter = n;
    } else if (arg == "--block-count") {
      if (!number(n)) return false;
      options.faults.blockCount = n;
    } else if (arg == "--block-login") {
      options.faults.blockLogin = true;
    } else if (arg == "--login-pictures") {
      if (!number(n)) return false;
      options.faults.loginPictures = n;
    } else if (arg == "--ignore-start") {
      options.faults.ignoreStart = true;
    } else if (arg == "--new-layout") {
      options.faults.newLayout = true;
    } else if (arg == "--today") {
      options.faults.today = true;
    } else if (arg == "--cover-referer") {
      options.faults.coverReferer = true;
    } else if (arg == "--empty-first") {
      if (!number(n)) return false;
      options.faults.emptyFirst = static_cast<int>(n);
    } else if (arg == "--empty-match") {
      if (!value(text)) return false;
      options.faults.emptyMatch = text;
    } else if (arg == "--slow-ms") {
      if (!number(n)) return false;
      options.faults.slowMs = static_cast<int>(n);
    } else if (arg == "--slow-varied") {
      options.faults.slowVaried = true;
    } else if (arg == "--slow-match") {
      if (!value(text)) return false;
      options.faults.slowMatch = text;
    } else if (arg == "--cut-off") {
      if (!value(text)) return false;
      options.faults.cutOff = true;
      options.faults.cutOffMatch = text;
    } else if (arg == "--picture-error") {
      if (!value(text)) return false;
      const char* eq = std::strchr(text, '=');
      long status = 0;
      if (eq == nullptr || !ToInt(eq + 1, status) || (status != 200 && status != 404)) {
        error = "--picture-error needs ID=200 or ID=404";
        return false;
      }
      options.faults.pictureErrors[std::string(text, eq)] = static_cast<int>(status);
    } else if (arg == "--api-answer") {
      if (!value(text)) return false;
      const char* eq = std::strchr(text, '=');
      if (eq == nullptr) {
        error = "--api-answer needs MATCH=FILE";
        return false;
      }
      std::ifstream in(eq + 1, std::ios::binary);
      if (!in) {
        error = std::string("--api-answer cannot read ") + (eq + 1);
        return false;
      }
      options.faults.apiAnswers.emplace_back(
          std::string(text, eq),
          std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    } else {
      error = "unknown option " + std::string(arg);
      return false;
    }
  }
  return true;
}

}  // namespace ak::fake
