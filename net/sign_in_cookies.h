#pragma once

#include "base/types.h"
#include "net/cookie_jar.h"

namespace ak {

// The cookies of a sign-in to the service as one Cookie header value ("name=value; ..."): every
// cookie of the jar under the service's cookie domain (ServiceCookieDomain()). The picture hosts
// lie under another domain, so a cookie engine would never send them there; the original
// pictures, offered to signed-in users only, are asked for with them.
Text SignInCookieHeader(const CookieJar& jar);

// True when the jar holds the service's session cookie (dbcl2): the user has signed in.
bool HasSignIn(const CookieJar& jar);

}  // namespace ak
