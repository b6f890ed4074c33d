#pragma once

#include <curl/curl.h>

#include <vector>

#include "net/cookie_jar.h"

namespace ak {

// Replaces the cookies in a handle's cookie engine by the jar's and returns what was loaded.
std::vector<StoredCookie> LoadJarIntoHandle(CURL* easy, const CookieJar& jar);

// Keeps in the jar what the handle's cookie engine holds after an exchange: new and changed
// cookies are set; cookies that were loaded and are gone (deleted or expired by the server) are
// removed unless another fetch changed them meanwhile.
void StoreHandleCookiesInJar(CURL* easy, CookieJar& jar, const std::vector<StoredCookie>& loaded);

}  // namespace ak
