#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ak {

// One cookie as a browser keeps it. `domain` is held in lower case without a leading dot;
// `includeSubdomains` says whether hosts below it receive the cookie too (a cookie set with a
// Domain attribute) or only that very host.
struct StoredCookie {
  std::string domain;
  bool includeSubdomains = false;
  std::string path = "/";
  bool secure = false;
  bool httpOnly = false;
  // Seconds since the epoch; 0 for a session cookie.
  long long expires = 0;
  std::string name;
  std::string value;

  bool operator==(const StoredCookie&) const = default;
};

// The process-wide cookie store that page fetches without a cookie argument share with the
// embedded browser: cookies of a user who signed in there reach every such fetch, and cookies the
// service sets in a fetch are kept for the next. A cookie is identified by its domain, path and
// name. Safe to use from any thread.
class CookieJar {
 public:
  // Adds the cookie or replaces the one with the same domain, path and name. A cookie whose
  // expiry has passed removes that cookie instead.
  void Set(StoredCookie cookie);
  // Removes the cookie of that domain (a leading dot and letter case do not matter), path (empty
  // means "/", as everywhere in the jar) and name; false when there was none.
  bool Remove(std::string_view domain, std::string_view path, std::string_view name);
  // Removes the cookie only while it still holds `value` (a fetch that saw the server delete a
  // cookie must not delete one that another thread set meanwhile).
  bool RemoveIfValue(std::string_view domain, std::string_view path, std::string_view name,
                     std::string_view value);
  void Clear();

  // The cookies that have not expired, in the order they were first set.
  std::vector<StoredCookie> All() const;
  std::optional<StoredCookie> Find(std::string_view domain, std::string_view path,
                                   std::string_view name) const;

 private:
  void DropExpiredLocked(long long now);

  mutable std::mutex mutex_;
  std::vector<StoredCookie> cookies_;
};

CookieJar& SharedCookieJar();

// A cookie as one line of the Netscape cookie file format that libcurl reads and writes:
// domain, subdomain flag, path, secure flag, expiry, name and value separated by tabs, with the
// "#HttpOnly_" prefix for HTTP-only cookies.
std::string ToNetscapeLine(const StoredCookie& cookie);
std::optional<StoredCookie> FromNetscapeLine(std::string_view line);

}  // namespace ak
