#pragma once

#include "net/cookie_jar.h"
#include "shell/browser_cookie.h"
#include "shell/main_window.h"

namespace ak {

// Passes one cookie change of the browser on to `jar`.
void FeedCookieJar(CookieJar& jar, const BrowserCookie& cookie);

// What the program's window uses: the configured service (home page, update page), the shared
// cookie jar, the platform's folder dialog and file manager, and a browser that keeps the login
// between runs.
ShellServices ProgramShellServices();

}  // namespace ak
