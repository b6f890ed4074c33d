#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ak::fake {

// Faults the double can be told to inject. A "match" is a prefix of the request's path with
// query ("/photos/album/1620000002/?start=18"); an empty match means every page and API answer
// (pictures are matched only when a match is given).
struct FaultOptions {
  long blockAfter = -1;       // from request N+1 on, every answer is 403 with a block page
  long blockCount = -1;       // only this many answers are refused, then all are served again
  bool blockLogin = false;    // refused web-host answers redirect to the login page instead
  long loginPictures = 0;     // the first K picture requests redirect (302) to the login page
  bool ignoreStart = false;   // album pages ignore "?start=": every page shows the first photos
  bool newLayout = false;     // album pages list their photos in a markup the pattern misses
  bool coverReferer = false;  // covers answer 403 unless the Referer names the web host
  // Today's service (--today): album pages in the later markup (m and l thumbnails, .webp, lazy
  // data-src) paged by "m_start"; pictures under today's paths, only with a Referer of the web
  // host, originals only with a session cookie; the API only with a valid key; refusals as a
  // 403 redirect to sec.douban.com (or, with blockLogin, the login-redirect page).
  bool today = false;
  int emptyFirst = 0;  // the first K answers of each page (path with query) have no body
  std::string emptyMatch;
  int slowMs = 0;  // each matching answer waits this long before it is sent
  std::string slowMatch;
  bool slowVaried = false;  // the wait is 0 to 3 times slowMs, by the address (out of order)
  bool cutOff = false;      // matching answers stop half-way through the body, then the
  std::string cutOffMatch;  // connection closes
  std::map<std::string, int> pictureErrors;  // photo id -> 200 or 404 with an HTML error page
  bool redirectHttps = false;  // web host over HTTP answers 301 to the same address on https
  // API requests whose path with query starts with the key are answered 200 with the value as
  // the body, whatever it holds (broken JSON, other member types, hostile ids); first key wins.
  std::vector<std::pair<std::string, std::string>> apiAnswers;
  bool garbage = false;  // matching answers are 200 with random bytes in place of the page
  std::string garbageMatch;
  // Album pages claim "共TEXT张照片" and API answers "total" TEXT (a number when TEXT is one,
  // else a string), whatever the album holds; its photos are listed as they are.
  std::optional<std::string> photoCount;
  // Album-list pages claim TEXT pages in their paginator, shown even for a single page.
  std::optional<std::string> listPages;
};

// The bytes a garbage answer to `target` consists of: random, NUL bytes and broken UTF-8
// included, the same for every request of the same target.
std::string GarbageBytes(std::string_view target);

// The counters behind the faults; thread-safe.
class FaultState {
 public:
  explicit FaultState(FaultOptions options) : options_(std::move(options)) {}

  const FaultOptions& options() const { return options_; }
  // Counts the request; true when it must be refused.
  bool CountAndCheckBlocked();
  // Counts a picture request; true when it must be redirected to the login page.
  bool TakeLoginPicture();
  // True when this answer must be empty (counts the page's answers).
  bool TakeEmpty(const std::string& host, const std::string& target, bool isPicture);
  bool IsSlow(std::string_view target, bool isPicture) const;
  // How long a slow answer to `target` waits, in milliseconds.
  int SlowMsFor(std::string_view target) const;
  bool IsCutOff(std::string_view target, bool isPicture) const;
  bool IsGarbage(std::string_view target, bool isPicture) const;
  // 0 when the photo's pictures are served normally.
  int PictureError(const std::string& photoId) const;

 private:
  static bool Matches(std::string_view match, std::string_view target, bool isPicture);

  FaultOptions options_;
  std::atomic<long> requests_{0};
  std::atomic<long> pictures_{0};
  std::mutex mutex_;
  std::map<std::string, int> emptyAnswers_;
};

}  // namespace ak::fake
