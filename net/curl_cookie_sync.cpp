#include "net/curl_cookie_sync.h"

#include <algorithm>
#include <string>

namespace ak {

std::vector<StoredCookie> LoadJarIntoHandle(CURL* easy, const CookieJar& jar) {
  // Adding a cookie switches the engine on (an empty cookie file would too, but this libcurl
  // loses that file list on curl_easy_reset); the placeholder goes with everything else.
  curl_easy_setopt(easy, CURLOPT_COOKIELIST, ".invalid\tTRUE\t/\tFALSE\t0\tplaceholder\t1");
  curl_easy_setopt(easy, CURLOPT_COOKIELIST, "ALL");
  std::vector<StoredCookie> loaded = jar.All();
  for (const StoredCookie& cookie : loaded) {
    const std::string line = ToNetscapeLine(cookie);
    curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
  }
  return loaded;
}

void StoreHandleCookiesInJar(CURL* easy, CookieJar& jar, const std::vector<StoredCookie>& loaded) {
  curl_slist* list = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &list) != CURLE_OK) return;
  std::vector<StoredCookie> now;
  for (curl_slist* item = list; item; item = item->next) {
    if (auto cookie = FromNetscapeLine(item->data)) now.push_back(std::move(*cookie));
  }
  curl_slist_free_all(list);

  auto sameIdentity = [](const StoredCookie& a, const StoredCookie& b) {
    return a.domain == b.domain && a.path == b.path && a.name == b.name;
  };
  for (const StoredCookie& cookie : now) {
    const bool unchanged = std::find(loaded.begin(), loaded.end(), cookie) != loaded.end();
    if (!unchanged) jar.Set(cookie);
  }
  for (const StoredCookie& before : loaded) {
    const bool kept = std::any_of(now.begin(), now.end(), [&](const StoredCookie& cookie) {
      return sameIdentity(cookie, before);
    });
    if (!kept) jar.RemoveIfValue(before.domain, before.path, before.name, before.value);
  }
}

}  // namespace ak
