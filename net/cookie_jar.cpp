#include "net/cookie_jar.h"

#include <algorithm>
#include <charconv>
#include <ctime>

#include "base/text_ops.h"

namespace ak {
namespace {

std::string NormalisedDomain(std::string_view domain) {
  while (!domain.empty() && domain.front() == '.') domain.remove_prefix(1);
  return AsciiLowerCase(domain);
}

// A cookie without a path belongs to the root, wherever a path is given.
std::string_view NormalisedPath(std::string_view path) { return path.empty() ? "/" : path; }

bool SameIdentity(const StoredCookie& cookie, std::string_view domain, std::string_view path,
                  std::string_view name) {
  return cookie.domain == domain && cookie.path == NormalisedPath(path) && cookie.name == name;
}

long long Now() { return static_cast<long long>(std::time(nullptr)); }

bool Expired(const StoredCookie& cookie, long long now) {
  return cookie.expires != 0 && cookie.expires <= now;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

}  // namespace

void CookieJar::Set(StoredCookie cookie) {
  cookie.domain = NormalisedDomain(cookie.domain);
  if (cookie.path.empty()) cookie.path.push_back('/');
  const long long now = Now();
  std::lock_guard lock(mutex_);
  DropExpiredLocked(now);
  auto it = std::find_if(cookies_.begin(), cookies_.end(), [&](const StoredCookie& kept) {
    return SameIdentity(kept, cookie.domain, cookie.path, cookie.name);
  });
  if (Expired(cookie, now)) {
    if (it != cookies_.end()) cookies_.erase(it);
  } else if (it != cookies_.end()) {
    *it = std::move(cookie);
  } else {
    cookies_.push_back(std::move(cookie));
  }
}

bool CookieJar::Remove(std::string_view domain, std::string_view path, std::string_view name) {
  const std::string wanted = NormalisedDomain(domain);
  std::lock_guard lock(mutex_);
  return std::erase_if(cookies_, [&](const StoredCookie& kept) {
           return SameIdentity(kept, wanted, path, name);
         }) > 0;
}

bool CookieJar::RemoveIfValue(std::string_view domain, std::string_view path, std::string_view name,
                              std::string_view value) {
  const std::string wanted = NormalisedDomain(domain);
  std::lock_guard lock(mutex_);
  return std::erase_if(cookies_, [&](const StoredCookie& kept) {
           return SameIdentity(kept, wanted, path, name) && kept.value == value;
         }) > 0;
}

void CookieJar::Clear() {
  std::lock_guard lock(mutex_);
  cookies_.clear();
}

std::vector<StoredCookie> CookieJar::All() const {
  const long long now = Now();
  std::lock_guard lock(mutex_);
  std::vector<StoredCookie> live;
  live.reserve(cookies_.size());
  for (const StoredCookie& cookie : cookies_) {
    if (!Expired(cookie, now)) live.push_back(cookie);
  }
  return live;
}

std::optional<StoredCookie> CookieJar::Find(std::string_view domain, std::string_view path,
                                            std::string_view name) const {
  const std::string wanted = NormalisedDomain(domain);
  const long long now = Now();
  std::lock_guard lock(mutex_);
  for (const StoredCookie& cookie : cookies_) {
    if (SameIdentity(cookie, wanted, path, name) && !Expired(cookie, now)) return cookie;
  }
  return std::nullopt;
}

void CookieJar::DropExpiredLocked(long long now) {
  std::erase_if(cookies_, [now](const StoredCookie& cookie) { return Expired(cookie, now); });
}

CookieJar& SharedCookieJar() {
  static CookieJar jar;
  return jar;
}

std::string ToNetscapeLine(const StoredCookie& cookie) {
  std::string line;
  if (cookie.httpOnly) line += "#HttpOnly_";
  if (cookie.includeSubdomains) line += '.';
  line += NormalisedDomain(cookie.domain);
  line += cookie.includeSubdomains ? "\tTRUE\t" : "\tFALSE\t";
  line += cookie.path.empty() ? std::string("/") : cookie.path;
  line += cookie.secure ? "\tTRUE\t" : "\tFALSE\t";
  line += std::to_string(cookie.expires);
  line += '\t';
  line += cookie.name;
  line += '\t';
  line += cookie.value;
  return line;
}

std::optional<StoredCookie> FromNetscapeLine(std::string_view line) {
  StoredCookie cookie;
  constexpr std::string_view kHttpOnly = "#HttpOnly_";
  if (line.starts_with(kHttpOnly)) {
    cookie.httpOnly = true;
    line.remove_prefix(kHttpOnly.size());
  } else if (line.starts_with('#')) {
    return std::nullopt;
  }
  const std::vector<std::string_view> fields = SplitTabs(line);
  // A cookie without a value is written with six fields by some writers.
  if (fields.size() != 7 && fields.size() != 6) return std::nullopt;
  cookie.domain = NormalisedDomain(fields[0]);
  cookie.includeSubdomains = fields[1] == "TRUE";
  cookie.path = fields[2].empty() ? std::string("/") : std::string(fields[2]);
  cookie.secure = fields[3] == "TRUE";
  const std::string_view expires = fields[4];
  if (std::from_chars(expires.data(), expires.data() + expires.size(), cookie.expires).ec !=
      std::errc()) {
    return std::nullopt;
  }
  cookie.name = std::string(fields[5]);
  if (fields.size() == 7) cookie.value = std::string(fields[6]);
  if (cookie.domain.empty() || cookie.name.empty()) return std::nullopt;
  return cookie;
}

}  // namespace ak
