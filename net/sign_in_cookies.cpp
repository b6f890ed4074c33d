#include "net/sign_in_cookies.h"

#include "net/cookie_file.h"

namespace ak {

Text SignInCookieHeader(const CookieJar& jar) {
  const std::string domain = ServiceCookieDomain();
  Text header;
  for (const StoredCookie& cookie : jar.All()) {
    if (!IsServiceCookie(cookie.domain, domain)) continue;
    if (!header.empty()) header += "; ";
    header += cookie.name + "=" + cookie.value;
  }
  return header;
}

bool HasSignIn(const CookieJar& jar) {
  const std::string domain = ServiceCookieDomain();
  for (const StoredCookie& cookie : jar.All()) {
    if (cookie.name == "dbcl2" && !cookie.value.empty() && IsServiceCookie(cookie.domain, domain)) {
      return true;
    }
  }
  return false;
}

}  // namespace ak
