#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/types.h"
#include "net/cookie_jar.h"

namespace ak {

// The cookie file the window writes at close and the window and the command line read at start:
// the Netscape format that curl and browser export tools use, one cookie a line.

// Name of the cookie file in the program's folder.
inline constexpr std::string_view kCookieFileName = "cookies.txt";

// The domain whose cookies the cookie file carries: the web host without its first label
// ("douban.com" for "www.douban.com"), so the API host's cookies belong to it as well.
std::string ServiceCookieDomain();
// True when a cookie of `domain` belongs to `serviceDomain` or one of its subdomains.
bool IsServiceCookie(std::string_view domain, std::string_view serviceDomain);

enum class CookieFileStatus {
  kLoaded,      // every line was understood; the service's cookies are in `cookies`
  kMissing,     // no file at the path
  kUnreadable,  // the file exists but cannot be read (or is absurdly large)
  kMalformed,   // line `line` is not a cookie, a comment or a blank line; nothing is taken
};

struct CookieFileContent {
  CookieFileStatus status = CookieFileStatus::kMissing;
  // 1-based number of the first malformed line.
  int line = 0;
  // Why that line was refused (GBK); never holds any part of a cookie.
  Text reason;
  // The service's cookies that have not expired, in file order.
  std::vector<StoredCookie> cookies;
  // Valid cookies of other sites, left out.
  int otherSites = 0;
};

// Reads cookie file text. "#HttpOnly_" lines are HTTP-only cookies, other lines starting with
// "#" are comments; blank lines are skipped; line ends may be "\n" or "\r\n".
CookieFileContent ParseCookieFile(std::string_view text, std::string_view serviceDomain);

// The cookie file text for the service's cookies among `cookies` (others are left out).
std::string FormatCookieFile(const std::vector<StoredCookie>& cookies,
                             std::string_view serviceDomain);

// Reads the file at `path` and, only when it is whole and valid, puts its cookies into `jar`.
CookieFileContent LoadCookieFile(const std::filesystem::path& path, CookieJar& jar,
                                 std::string_view serviceDomain);

// Writes the service's cookies of `jar` to `path`, replacing it whole, readable and writable by
// the owner only. False when it could not be written; the old file is then untouched.
bool SaveCookieFile(const std::filesystem::path& path, const CookieJar& jar,
                    std::string_view serviceDomain);

// A one-line report of a load for the log or the terminal (GBK, no cookie value in it); empty
// for a missing file.
Text CookieFileReport(const CookieFileContent& content, const Text& path);

}  // namespace ak
