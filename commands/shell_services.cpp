#include "commands/shell_services.h"

#include "base/codec.h"
#include "commands/update_page_fetch.h"
#include "net/service_config.h"

namespace ak {
namespace {

// The browser's cookie as the jar takes it; the jar itself puts the domain in lower case without
// a leading dot and gives an empty path the root.
StoredCookie ToStoredCookie(const BrowserCookie& cookie) {
  StoredCookie stored;
  // A leading dot marks a cookie that the hosts below the domain receive too.
  stored.includeSubdomains = cookie.domain.starts_with('.');
  stored.domain = cookie.domain;
  stored.path = cookie.path;
  stored.secure = cookie.secure;
  stored.httpOnly = cookie.httpOnly;
  stored.expires = cookie.expires;
  stored.name = cookie.name;
  stored.value = cookie.value;
  return stored;
}

}  // namespace

void FeedCookieJar(CookieJar& jar, const BrowserCookie& cookie) {
  StoredCookie stored = ToStoredCookie(cookie);
  if (cookie.removed) {
    // Only while it still holds the browser's value: a fetch may have set a newer one.
    jar.RemoveIfValue(stored.domain, stored.path, stored.name, stored.value);
  } else {
    jar.Set(std::move(stored));
  }
}

ShellServices ProgramShellServices() {
  ShellServices services;
  services.homePage = "http://" + GbkToUtf8(WebHost()) + "/";
  services.cookieSink = [](const BrowserCookie& cookie) {
    FeedCookieJar(SharedCookieJar(), cookie);
  };
  services.persistentBrowserProfile = true;
  services.fetchUpdatePage = UpdatePageFetcher();
  return services;
}

}  // namespace ak
